#include "clients/host_application.h"
#include "screens/sign_in_screen.h"
#include "../controls/request_fields.h"
#include "module_test.h"

namespace {

class SignInTest : public ModuleTest {
protected:
    void Enter(const char* player, const char* kite = nullptr, const char* password = nullptr) {
        Start(player, kite, password);
        Deliver(port_, code::kEntered);
    }
    wm::SignInScreen* Screen() const { return static_cast<wm::SignInScreen*>(wm::Screens().At(wm::kSignInSlot)); }
    // Shown with a send on the scene.
    bool Shown(uint16_t sprite) const { return !About(scene_, code::kStart, atoms::SPRITENAME, sprite).empty(); }
    std::vector<HostRequest> Actions(uint16_t action) const { return host_.Requests(port_, action); }
    std::vector<HostRequest> FocusRequests() const {
        std::vector<HostRequest> found;
        for (const HostRequest& r : host_.Requests(scene_, code::kSet)) {
            if (EDictHasKey(&r.record, atoms::FOCUS)) found.push_back(r);
        }
        return found;
    }
    void Type(const char* name, const char* password) {
        host_.scenes.editTexts[name_] = name;
        host_.scenes.editTexts[password_] = password;
    }

    const uint16_t port_ = atoms::ports::OrbitSignInPort;
    const uint16_t scene_ = atoms::ports::ScCsSignIn;
    const uint16_t name_ = Atom("EdtCsName");
    const uint16_t password_ = Atom("EdtCsPassword");
    const uint16_t opening_ = Atom("AniCsOpening");
    const uint16_t splash_ = Atom("AniCsSplash");
    const uint16_t exit_ = Atom("BtnCsExit");
};

TEST_F(SignInTest, AFirstVisitWithoutPlayerPlaysTheOpeningThenTheSplash) {
    Enter(nullptr);
    EXPECT_TRUE(Attached(atoms::KeyboardPort, &PM_OrbitSignIn));
    EXPECT_TRUE(Shown(opening_));
    EXPECT_TRUE(Shown(exit_));
    EXPECT_FALSE(Shown(Atom("BtnCsCancel")));
    EXPECT_FALSE(Shown(name_));
    EXPECT_EQ(Deliveries(Actions(Atom("aOnOpeningDone"))), Lines{"post 5000"});
    host_.scenes.editTexts[name_] = "a\tb";
    EXPECT_TRUE(EditKey(port_, name_, atoms::TAB)) << "taken, but ignored until the fields are shown";
    EXPECT_EQ(host_.scenes.editTexts[name_], "a\tb");

    Advance(4999);
    EXPECT_FALSE(Shown(splash_));
    Advance(1);
    EXPECT_EQ(About(scene_, code::kStop, atoms::NAME, opening_).size(), 1u);
    EXPECT_TRUE(Shown(splash_));
    EXPECT_FALSE(Shown(name_));
    Advance(5000);
    EXPECT_TRUE(Shown(name_));
    EXPECT_TRUE(Shown(password_));
    EXPECT_TRUE(Screen()->EntryShown());
    EXPECT_EQ(Shorts(FocusRequests(), atoms::NAME), Atoms{name_});
    EXPECT_EQ(Deliveries(FocusRequests()), Lines{"post 0"});
}

TEST_F(SignInTest, ClicksSkipTheAnimationsLateTimersAreIgnoredAndNoToExitStays) {
    Enter(nullptr);
    EXPECT_TRUE(Click(port_, opening_));
    EXPECT_EQ(Actions(Atom("aOnOpeningDone")).back().delay, 1);
    Advance(1);
    EXPECT_TRUE(Shown(splash_));
    Click(port_, splash_);
    Advance(1);
    EXPECT_TRUE(Screen()->EntryShown());
    Advance(10000);  // the first timers of both animations fall due now
    EXPECT_EQ(About(scene_, code::kStart, atoms::SPRITENAME, splash_).size(), 1u);
    EXPECT_EQ(About(scene_, code::kStart, atoms::SPRITENAME, name_).size(), 1u);

    // Exit asks; No stays without a reminder. Empty fields, Yes, the reminder 20 later and the
    // end at its OK are the signin_dial_fail session's.
    Click(port_, exit_);
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConfirmExit"));
    Click(port_, atoms::dialog_sprites::BtnCoNo);
    EXPECT_FALSE(wm::CommonDialog().up);
    Advance(100);
    EXPECT_TRUE(Actions(Atom("aShowDisconnectReminder")).empty());
}

// A player's entry (no opening, Cancel back to the mailbox, the kite login given at the start in
// the fields) is the player_and_kite session's.
TEST_F(SignInTest, AKiteLoginNotGivenAtTheStartIsDropped) {
    Start("Robin");
    wm::Identity().SetKiteLogin("stale", "stalepw");
    Deliver(port_, code::kEntered);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
    EXPECT_STREQ(wm::Identity().GetPassword(), "");
}

TEST_F(SignInTest, TabCleansTheFieldAndMovesToTheOtherAndEnterAsksForValidation) {
    Enter("Robin");
    host_.Forget();
    host_.scenes.editTexts[name_] = "ro\tbin\r\n7";
    EditKey(port_, name_, atoms::TAB);
    EXPECT_EQ(host_.scenes.editTexts[name_], "robin7");
    EXPECT_EQ(Shorts(FocusRequests(), atoms::NAME), Atoms{password_});
    EditKey(port_, password_, atoms::TAB);
    EXPECT_EQ(Shorts(FocusRequests(), atoms::NAME), (Atoms{password_, name_}));

    // Enter checks the login and asks for validation.
    host_.Forget();
    Type("robin7", "pw\n");
    EditKey(port_, password_, atoms::ENTER);
    EXPECT_EQ(host_.scenes.editTexts[password_], "pw");
    const auto focus = FocusRequests();
    ASSERT_GE(focus.size(), 1u);
    EXPECT_FALSE(EDictHasKey(&focus[0].record, atoms::NAME));
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, Atom("CheckingPassword"));
    EXPECT_EQ(Deliveries(Actions(atoms::actions::aValidateUser)), Lines{"post 0"});
}

}  // namespace
