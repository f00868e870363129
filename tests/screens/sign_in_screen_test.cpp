#include <gtest/gtest.h>

#include "clients/host_application.h"
#include "screens/sign_in_screen.h"
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
    bool Shown(uint16_t sprite) const {
        return !About(scene_, code::kStart, atoms::SPRITENAME, sprite).empty();
    }
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
    const auto openingDone = Actions(Atom("aOnOpeningDone"));
    ASSERT_EQ(openingDone.size(), 1u);
    EXPECT_EQ(openingDone[0].delay, 5000);

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
    const auto focus = FocusRequests();
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(EDictGetShort(&focus[0].record, atoms::NAME), name_);
    EXPECT_EQ(focus[0].event, HxTracePost);
}

TEST_F(SignInTest, ClicksSkipTheAnimationsAndTheLateTimersAreIgnored) {
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
}

TEST_F(SignInTest, APlayerSkipsTheAnimationsAndMayCancelBackToTheMailbox) {
    Enter("Robin");
    EXPECT_FALSE(Shown(opening_));
    EXPECT_FALSE(Shown(exit_));
    EXPECT_TRUE(Shown(name_));
    EXPECT_TRUE(Screen()->OpeningPassed());
    wm::Identity().SetKiteLogin("robin7", "pw");
    Click(port_, Atom("BtnCsCancel"));
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
    EXPECT_EQ(RequestedScene(), atoms::ports::ScWnMain);
    EXPECT_EQ(CurrentScene(), atoms::ports::ScWnMain);
}

TEST_F(SignInTest, AKiteLoginFromTheStartFillsTheFieldsAndOtherwiseIsDropped) {
    Enter("Robin", "robin7", "pw");
    const auto texts = host_.Requests(scene_, code::kSet);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_STREQ(EDictGetText(&texts[0].record, atoms::TEXT), "robin7");
    EXPECT_STREQ(EDictGetText(&texts[1].record, atoms::TEXT), "pw");
    Stop();

    Start("Robin");
    wm::Identity().SetKiteLogin("stale", "stalepw");
    Deliver(port_, code::kEntered);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
    EXPECT_STREQ(wm::Identity().GetPassword(), "");
}

TEST_F(SignInTest, TabCleansTheFieldAndMovesToTheOther) {
    Enter("Robin");
    host_.Forget();
    host_.scenes.editTexts[name_] = "ro\tbin\r\n7";
    EditKey(port_, name_, atoms::TAB);
    EXPECT_EQ(host_.scenes.editTexts[name_], "robin7");
    const auto focus = FocusRequests();
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(EDictGetShort(&focus[0].record, atoms::NAME), password_);
    EditKey(port_, password_, atoms::TAB);
    EXPECT_EQ(EDictGetShort(&FocusRequests().back().record, atoms::NAME), name_);
}

TEST_F(SignInTest, KeysAreIgnoredUntilTheFieldsAreShown) {
    Enter(nullptr);
    host_.Forget();
    host_.scenes.editTexts[name_] = "a\tb";
    EXPECT_TRUE(EditKey(port_, name_, atoms::TAB));
    EXPECT_EQ(host_.scenes.editTexts[name_], "a\tb");
    EXPECT_TRUE(FocusRequests().empty());
}

TEST_F(SignInTest, EnterInTheFieldsChecksTheLoginAndAsksForValidation) {
    Enter("Robin");
    host_.Forget();
    Type("robin7", "pw\n");
    EditKey(port_, password_, atoms::ENTER);
    EXPECT_EQ(host_.scenes.editTexts[password_], "pw");
    const auto focus = FocusRequests();
    ASSERT_GE(focus.size(), 1u);
    EXPECT_FALSE(EDictHasKey(&focus[0].record, atoms::NAME));
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, Atom("CheckingPassword"));
    const auto validate = Actions(atoms::actions::aValidateUser);
    ASSERT_EQ(validate.size(), 1u);
    EXPECT_EQ(validate[0].delay, 0);
}

TEST_F(SignInTest, AnEmptyFieldBringsTheBadEntryNoticeAndOkShowsTheFieldsAgain) {
    Enter("Robin");
    Type("robin7", "");
    Click(port_, Atom("BtnCsEnter"));
    EXPECT_EQ(wm::CommonDialog().current, Atom("BadEntry"));
    EXPECT_TRUE(Actions(atoms::actions::aValidateUser).empty());
    host_.Forget();
    Click(port_, atoms::dialog_sprites::BtnCoOk);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_TRUE(host_.Requests(atoms::shell::HarborPort).empty());
    const auto shown = About(scene_, code::kSet, atoms::NAME, name_);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(EDictGetLong(&shown[0].record, atoms::VISIBLE), 1);
    EXPECT_EQ(shown[0].event, HxTracePost);
}

TEST_F(SignInTest, ExitAsksThenRemindsToDisconnectThenEndsAndNoStays) {
    Enter(nullptr);
    Click(port_, opening_);
    Advance(1);
    Click(port_, exit_);
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConfirmExit"));
    Click(port_, atoms::dialog_sprites::BtnCoNo);
    EXPECT_FALSE(wm::CommonDialog().up);
    Advance(100);
    EXPECT_TRUE(Actions(Atom("aShowDisconnectReminder")).empty());

    Click(port_, exit_);
    Click(port_, atoms::dialog_sprites::BtnCoYes);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(Actions(Atom("aShowDisconnectReminder")).back().delay, 20);
    Advance(20);
    EXPECT_EQ(wm::CommonDialog().current, Atom("DisconnectReminder"));
    EXPECT_TRUE(host_.Requests(atoms::shell::HarborPort).empty());
    Click(port_, atoms::dialog_sprites::BtnCoOk);
    EXPECT_EQ(host_.Requests(atoms::shell::HarborPort, code::kStop).size(), 1u);
}

}  // namespace
