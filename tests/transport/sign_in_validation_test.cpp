#include <gtest/gtest.h>

#include "screens/sign_in_screen.h"
#include "transport_fixture.h"

namespace {

class ValidationTest : public TransportTest {
protected:
    void SetUp() override {
        TransportTest::SetUp();
        mail_.accounts["ann_01"] = "apple";
        PutMessage(kAnnInBox, 3, FakeMailServer::DataOf("bob_02", "Kites", 9));
        PutMessage(kP7InBox, 1, FakeMailServer::DataOf("mum", "Tea", 8));
    }
    // The sign-in entry as player p7 with the login typed, then the enter button.
    void SignIn(const char* name, const char* password) {
        Start("p7");
        Deliver(port_, code::kEntered);
        host_.scenes.editTexts[Atom("EdtCsName")] = name;
        host_.scenes.editTexts[Atom("EdtCsPassword")] = password;
        host_.Forget();
        Click(port_, Atom("BtnCsEnter"));
        Advance(0);
    }
    wm::SignInScreen* Screen() const { return static_cast<wm::SignInScreen*>(wm::Screens().At(wm::kSignInSlot)); }
    std::vector<HostRequest> Posted(uint16_t action) const { return host_.Requests(port_, action); }

    const uint16_t port_ = atoms::ports::OrbitSignInPort;
};

TEST_F(ValidationTest, ARightPasswordKeepsTheManagerStoresTheLoginAndListsBothInboxes) {
    SignIn("ann_01", "apple");
    EXPECT_EQ(wm::Services().mailManager, 70u);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "ann_01");
    EXPECT_STREQ(wm::Identity().GetPassword(), "apple");
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);
    EXPECT_EQ(Headers(), (std::vector<std::string>{"1/3 bob_02: Kites", "2/1 mum: Tea"}));
    EXPECT_TRUE(mail_.objects.empty());
}

TEST_F(ValidationTest, SigningInAgainSignsTheOldManagerOutAndRebuildsTheList) {
    SignIn("ann_01", "apple");
    ASSERT_EQ(Headers().size(), 2u);
    Screen()->ValidateUser();
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{70});
    EXPECT_EQ(wm::Services().mailManager, 71u);
    EXPECT_EQ(Headers().size(), 2u);  // rebuilt, not appended twice
}

TEST_F(ValidationTest, AWrongPasswordReleasesEverythingAndShowsTheBadUserDialog) {
    SignIn("ann_01", "pear");
    EXPECT_EQ(wm::Services().mailManager, 0u);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
    ASSERT_EQ(Posted(Atom("aShowBadUserDialog")).size(), 1u);
    EXPECT_EQ(Posted(Atom("aShowBadUserDialog"))[0].delay, 100);
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("BadUserDialog"));
    EXPECT_EQ(RequestedScene(), 0);  // no other scene was asked for
    EXPECT_NE(DialogTexts(atoms::ports::ScCsSignIn).back().find("kite ID and password and try again.  Click"),
              std::string::npos);
}

TEST_F(ValidationTest, StatusFourHundredWithAManagerIsABadUserAndTheManagerIsClosed) {
    mail_.okStatus = 400;
    SignIn("ann_01", "apple");
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{70});
    EXPECT_EQ(wm::Services().mailManager, 0u);
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("BadUserDialog"));
}

TEST_F(ValidationTest, AnUnreachableServiceShowsTheConnectionDialog) {
    mail_.offline = true;
    SignIn("ann_01", "apple");
    EXPECT_TRUE(Posted(Atom("aShowBadUserDialog")).empty());
    Advance(100);
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConnectFailed"));
    EXPECT_EQ(DialogTexts(atoms::ports::ScCsSignIn).back(),
              "Error connecting to the mail server. Please check your Internet connection.");
}

TEST_F(ValidationTest, TheStoredLoginIsCutToThirtyOneCharacters) {
    const std::string longName(40, 'k');
    mail_.accounts[longName] = "apple";
    SignIn(longName.c_str(), "apple");
    EXPECT_EQ(std::string(wm::Identity().GetKiteId()), longName.substr(0, 31));
}

TEST_F(ValidationTest, CancelListsOnlyThePlayersInboxAndShowsTheMailbox) {
    SignIn("ann_01", "apple");
    ASSERT_EQ(Headers().size(), 2u);
    Deliver(port_, code::kEntered);
    Click(port_, Atom("BtnCsCancel"));
    EXPECT_EQ(Headers(), std::vector<std::string>{"2/1 mum: Tea"});
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);
}

}  // namespace
