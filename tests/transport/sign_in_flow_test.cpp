#include <gtest/gtest.h>

#include "../controls/request_fields.h"
#include "screens/sign_in_screen.h"
#include "transport/connection_client.h"
#include "transport_fixture.h"

namespace {

// The sign-in entry as player p7 with a login typed and the enter button pressed: the dial, its
// outcome on ConnectPort, and the validation that follows.
class SignInFlowTest : public TransportTest {
protected:
    void SetUp() override {
        TransportTest::SetUp();
        mail_.accounts["ann_01"] = "apple";
        files_.PutMessage(kAnnInBox, 3, FakeMailServer::DataOf("bob_02", "Kites", 9));
        files_.PutMessage(kP7InBox, 1, FakeMailServer::DataOf("mum", "Tea", 8));
    }
    void AtEntry(const char* name = "ann_01", const char* password = "apple") {
        Start("p7");
        Deliver(port_, code::kEntered);
        host_.scenes.editTexts[Atom("EdtCsName")] = name;
        host_.scenes.editTexts[Atom("EdtCsPassword")] = password;
        host_.Forget();
    }
    void SignIn(const char* name, const char* password) {
        AtEntry(name, password);
        Click(port_, Atom("BtnCsEnter"));
        Advance(0);
    }
    static bool Notify(uint16_t type, int32_t status, uint32_t connection) {
        EDict notice = Record(type);
        EDictPutLong(&notice, atoms::mail::Status, status);
        EDictPutHandle(&notice, atoms::mail::Connection, connection);
        return HxPortSend(atoms::ports::ConnectPort, &notice);
    }
    std::vector<HostRequest> Validations() const { return host_.Requests(port_, atoms::actions::aValidateUser); }
    wm::SignInScreen* Screen() const { return static_cast<wm::SignInScreen*>(wm::Screens().At(wm::kSignInSlot)); }

    const uint16_t port_ = atoms::ports::OrbitSignInPort;
};

TEST_F(SignInFlowTest, ARightPasswordKeepsTheManagerStoresTheLoginAndListsBothInboxes) {
    SignIn("ann_01", "apple");
    EXPECT_EQ(ras_.queries, 1) << "no connection manager: validated at once";
    EXPECT_TRUE(ras_.dials.empty());
    EXPECT_EQ(Deliveries(Validations()), Lines{"post 0"});
    EXPECT_EQ(wm::Services().mail_manager, 70u);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "ann_01");
    EXPECT_STREQ(wm::Identity().GetPassword(), "apple");
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);
    EXPECT_EQ(Headers(), (Lines{"1/3 bob_02: Kites", "2/1 mum: Tea"}));
    EXPECT_TRUE(mail_.objects.empty());
}

TEST_F(SignInFlowTest, AWrongPasswordOrStatusFourHundredReleasesEverythingAndShowsTheBadUserDialog) {
    SignIn("ann_01", "pear");
    EXPECT_EQ(wm::Services().mail_manager, 0u);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
    EXPECT_EQ(Deliveries(host_.Requests(port_, Atom("aShowBadUserDialog"))), Lines{"post 100"});
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("BadUserDialog"));
    EXPECT_EQ(RequestedScene(), 0);  // no other scene was asked for
    EXPECT_NE(DialogTexts().back().find("kite ID and password and try again.  Click"),
              std::string::npos);

    // The right password, but a status of 400: the manager it came with is closed again.
    mail_.okStatus = 400;
    host_.scenes.editTexts[Atom("EdtCsPassword")] = "apple";
    Screen()->ValidateUser();
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{70});
    EXPECT_EQ(wm::Services().mail_manager, 0u);
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("BadUserDialog"));
}

TEST_F(SignInFlowTest, CancelListsOnlyThePlayersInboxAndSigningInAgainSignsTheOldManagerOut) {
    SignIn("ann_01", "apple");
    ASSERT_EQ(Headers().size(), 2u);
    Deliver(port_, code::kEntered);
    Click(port_, Atom("BtnCsCancel"));
    EXPECT_EQ(Headers(), Lines{"2/1 mum: Tea"});
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);

    // A login longer than its field signs in whole and is stored cut to 31 characters.
    const std::string longName(40, 'k');
    mail_.accounts[longName] = "apple";
    host_.scenes.editTexts[Atom("EdtCsName")] = longName;
    Screen()->ValidateUser();
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{70});
    EXPECT_EQ(wm::Services().mail_manager, 71u);
    EXPECT_EQ(std::string(wm::Identity().GetKiteId()), longName.substr(0, 31));
    EXPECT_EQ(Headers().size(), 1u);  // rebuilt, not appended to
}

TEST_F(SignInFlowTest, ADialIsPostedAndItsSuccessKeepsTheLineAndValidates) {
    ras_.manager = 9;
    AtEntry();
    Click(port_, Atom("BtnCsEnter"));
    EXPECT_TRUE(ras_.dials.empty());  // posted, not sent
    const auto posted = host_.Requests(atoms::mail::RASPort, code::kOpen);
    ASSERT_EQ(Deliveries(posted), Lines{"post 0"});
    EXPECT_EQ(EDictGetShort(&posted[0].record, atoms::mail::NotifyPort), atoms::ports::ConnectPort);
    Advance(0);
    ASSERT_EQ(ras_.dials.size(), 1u);
    EXPECT_TRUE(Validations().empty());

    EXPECT_TRUE(Notify(code::kDialResult, 1, 44));
    EXPECT_EQ(wm::Services().connection, 44u);
    EXPECT_EQ(Deliveries(Validations()), Lines{"post 0"});
    Advance(0);
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);

    // Connected: the next sign-in neither asks for the manager nor dials.
    host_.Forget();
    ras_.queries = 0;
    wm::StartDial();
    EXPECT_EQ(ras_.queries, 0);
    EXPECT_EQ(Deliveries(Validations()), Lines{"post 10"});
    EXPECT_TRUE(Notify(code::kTick, 1, 6));  // other notices are taken and ignored
    EXPECT_EQ(wm::Services().connection, 44u);

    wm::ReleaseConnection();
    EXPECT_EQ(ras_.hangUps, std::vector<uint32_t>{44});

    // A line that came up and drops is forgotten; a success without a handle keeps none.
    Notify(code::kDialResult, 1, 45);
    host_.Forget();
    EXPECT_TRUE(Notify(code::kLineDropped, 0, 0));
    EXPECT_EQ(wm::Services().connection, 0u);
    EXPECT_TRUE(host_.Requests(port_).empty());
    EXPECT_FALSE(wm::CommonDialog().up);
    Notify(code::kDialResult, 1, 0);
    EXPECT_EQ(wm::Services().connection, 0u);
    ras_.queries = 0;
    wm::StartDial();  // no line: the next sign-in asks for the manager and dials again
    EXPECT_EQ(ras_.queries, 1);
    EXPECT_EQ(host_.Requests(atoms::mail::RASPort, code::kOpen).size(), 1u);
}

TEST_F(SignInFlowTest, AFailedDialReleasesTheManagerAndShowsTheConnectionDialog) {
    ras_.manager = 9;
    AtEntry();
    Click(port_, Atom("BtnCsEnter"));
    Advance(0);
    wm::Services().mail_manager = 31;
    Notify(code::kDialResult, 0, 0);
    EXPECT_EQ(host_.Requests(port_, atoms::actions::aOnConnectionFailed).size(), 1u);
    Advance(0);
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{31});
    EXPECT_EQ(wm::Services().mail_manager, 0u);
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConnectFailed"));
    EXPECT_EQ(wm::Services().connection, 0u);
    EXPECT_EQ(RequestedScene(), 0);  // no other scene was asked for
}

}  // namespace
