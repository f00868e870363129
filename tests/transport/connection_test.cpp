#include <gtest/gtest.h>

#include "transport/connection_client.h"
#include "transport_fixture.h"

namespace {

class ConnectionTest : public TransportTest {
protected:
    // On the sign-in entry with a login typed, as a player (no animations).
    void AtEntry() {
        Start("p7");
        Deliver(port_, code::kEntered);
        host_.scenes.editTexts[Atom("EdtCsName")] = "ann_01";
        host_.scenes.editTexts[Atom("EdtCsPassword")] = "apple";
        mail_.accounts["ann_01"] = "apple";
        host_.Forget();
    }
    void PressEnter() { Click(port_, Atom("BtnCsEnter")); }
    static bool Notify(uint16_t type, int32_t status, uint32_t connection) {
        EDict notice = Record(type);
        EDictPutLong(&notice, atoms::mail::Status, status);
        EDictPutHandle(&notice, atoms::mail::Connection, connection);
        return HxPortSend(atoms::ports::ConnectPort, &notice);
    }
    std::vector<HostRequest> Validations() const { return host_.Requests(port_, atoms::actions::aValidateUser); }

    const uint16_t port_ = atoms::ports::OrbitSignInPort;
};

TEST_F(ConnectionTest, WithoutConnectionManagerSignInValidatesAtOnce) {
    AtEntry();
    PressEnter();
    EXPECT_EQ(ras_.queries, 1);
    EXPECT_TRUE(ras_.dials.empty());
    ASSERT_EQ(Validations().size(), 1u);
    EXPECT_EQ(Validations()[0].delay, 0);
    Advance(0);
    EXPECT_NE(wm::Services().mailManager, 0u);
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);
}

TEST_F(ConnectionTest, ADialIsPostedAndItsSuccessKeepsTheLineAndValidates) {
    ras_.manager = 9;
    AtEntry();
    PressEnter();
    EXPECT_TRUE(ras_.dials.empty());  // posted, not sent
    const auto posted = host_.Requests(atoms::mail::RASPort, code::kOpen);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].event, HxTracePost);
    EXPECT_EQ(posted[0].delay, 0);
    EXPECT_EQ(EDictGetShort(&posted[0].record, atoms::mail::NotifyPort), atoms::ports::ConnectPort);
    Advance(0);
    ASSERT_EQ(ras_.dials.size(), 1u);
    EXPECT_TRUE(Validations().empty());

    EXPECT_TRUE(Notify(code::kDialResult, 1, 44));
    EXPECT_EQ(wm::Services().connection, 44u);
    ASSERT_EQ(Validations().size(), 1u);
    EXPECT_EQ(Validations()[0].delay, 0);
    Advance(0);
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);

    // Connected: the next sign-in neither asks for the manager nor dials.
    host_.Forget();
    ras_.queries = 0;
    wm::StartDial();
    EXPECT_EQ(ras_.queries, 0);
    ASSERT_EQ(Validations().size(), 1u);
    EXPECT_EQ(Validations()[0].delay, 10);

    wm::ReleaseConnection();
    EXPECT_EQ(ras_.hangUps, std::vector<uint32_t>{44});
}

TEST_F(ConnectionTest, AFailedDialReleasesTheManagerAndShowsTheConnectionDialog) {
    ras_.manager = 9;
    AtEntry();
    PressEnter();
    Advance(0);
    wm::Services().mailManager = 31;
    Notify(code::kDialResult, 0, 0);
    EXPECT_EQ(host_.Requests(port_, atoms::actions::aOnConnectionFailed).size(), 1u);
    Advance(0);
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{31});
    EXPECT_EQ(wm::Services().mailManager, 0u);
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConnectFailed"));
    EXPECT_EQ(wm::Services().connection, 0u);
    EXPECT_EQ(RequestedScene(), 0);  // no other scene was asked for
}

TEST_F(ConnectionTest, ADroppedLineOnlyForgetsTheHandle) {
    ras_.manager = 9;
    AtEntry();
    Notify(code::kDialResult, 1, 44);
    host_.Forget();
    EXPECT_TRUE(Notify(code::kLineDropped, 0, 0));
    EXPECT_EQ(wm::Services().connection, 0u);
    EXPECT_TRUE(host_.Requests(port_).empty());
    EXPECT_FALSE(wm::CommonDialog().up);
}

TEST_F(ConnectionTest, SuccessWithoutHandleLeavesNoLineSoTheNextSignInDialsAgain) {
    ras_.manager = 9;
    AtEntry();
    Notify(code::kDialResult, 1, 0);
    EXPECT_EQ(wm::Services().connection, 0u);
    wm::StartDial();
    EXPECT_EQ(ras_.queries, 1);
    EXPECT_EQ(host_.Requests(atoms::mail::RASPort, code::kOpen).size(), 1u);
}

TEST_F(ConnectionTest, OtherNoticesAreTakenAndIgnored) {
    AtEntry();
    wm::Services().connection = 5;
    EXPECT_TRUE(Notify(code::kTick, 1, 6));
    EXPECT_EQ(wm::Services().connection, 5u);
    EXPECT_TRUE(host_.Requests(port_).empty());
}

}  // namespace
