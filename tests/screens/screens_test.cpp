#include "clients/host_application.h"
#include "../controls/request_fields.h"
#include "module_test.h"

namespace {

namespace sprites = atoms::dialog_sprites;

class ScreensTest : public ModuleTest {
protected:
    // The mailbox name requests at the scene: shown at once, its text 20 later.
    void ExpectMailboxName(uint16_t scene, const char* owner) const {
        const auto shown = About(scene, code::kStart, atoms::SPRITENAME, sprites::TxtCoMailboxName);
        EXPECT_EQ(Deliveries(shown), Lines{"post 0"});
        const auto text = About(scene, code::kSet, atoms::NAME, sprites::TxtCoMailboxName);
        EXPECT_EQ(Deliveries(text), Lines{"post 20"});
        EXPECT_EQ(Texts(text, atoms::TEXT), Lines{owner});
    }

    const uint16_t mainPort_ = atoms::ports::WrenmailMainPort;
    const uint16_t mainScene_ = atoms::ports::ScWnMain;
};

// A player's disabled buttons are checked with the mailbox list (main_screen_test); the write
// screen's Back question by the write_refusals session.
TEST_F(ScreensTest, MainScreenShowsTheMailboxNameHoldsTheKeyboardWhileShownAndExitEnds) {
    Start("Robin");
    Deliver(mainPort_, code::kEntered);
    EXPECT_TRUE(Attached(atoms::KeyboardPort, &PM_WrenmailMain));
    ExpectMailboxName(mainScene_, "Robin");
    Deliver(mainPort_, code::kLeft);
    EXPECT_FALSE(Attached(atoms::KeyboardPort, &PM_WrenmailMain));

    // Exit asks, then reminds, then ends.
    Click(mainPort_, Atom("BtnWnExit"));
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConfirmExit"));
    Click(mainPort_, Atom("BtnWnHelp"));  // ignored while the question is up
    EXPECT_TRUE(About(mainScene_, code::kStart, atoms::SPRITENAME, Atom("SndWnHelp")).empty());
    Click(mainPort_, sprites::BtnCoYes);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(Deliveries(host_.Requests(mainPort_, Atom("aShowDisconnectReminder"))), Lines{"post 20"});
    Advance(20);
    EXPECT_EQ(wm::CommonDialog().current, Atom("DisconnectReminder"));
    EXPECT_EQ(About(mainScene_, code::kStart, atoms::SPRITENAME, sprites::BtnCoOk).size(), 1u);
    Click(mainPort_, sprites::BtnCoOk);
    const auto end = host_.Requests(atoms::shell::HarborPort, code::kStop);
    EXPECT_EQ(Deliveries(end), Lines{"post 0"});
    EXPECT_EQ(EDictKeyCount(&end[0].record), 0);
    EXPECT_FALSE(wm::CommonDialog().up);
}

TEST_F(ScreensTest, MainButtonsSwitchScenesAndOpenTheParentPage) {
    wm::AppSettings().parent_url = "https://parents.example";
    Start("Robin");  // New leads to the write screen in every write session
    Click(mainPort_, Atom("BtnWnChange"));
    EXPECT_EQ(CurrentScene(), atoms::ports::ScCsSignIn);
    Click(mainPort_, Atom("BtnWnParent"));
    EXPECT_EQ(Texts(host_.Requests(atoms::shell::HarborPort, code::kOpenAddress), atoms::STRING),
              Lines{"https://parents.example"});
}

TEST_F(ScreensTest, TheAddressBookCoversItsCallerWhileOpen) {
    Start("Robin", "robin7", "pw");
    wm::ShowScreen(mainScene_);
    Click(mainPort_, Atom("BtnWnAddress"));
    EXPECT_EQ(RequestedScene(), atoms::ports::ScAbAddress);
    EXPECT_EQ(wm::Handover().address_book_caller, wm::Screens().At(wm::kMainSlot));

    const uint16_t bookPort = atoms::ports::AddressPort;
    Deliver(bookPort, code::kEntered);
    EXPECT_EQ(host_.Requests(mainScene_, code::kBeforeCover).size(), 1u);
    const auto done = About(atoms::ports::ScAbAddress, code::kStart, atoms::SPRITENAME, Atom("BtnAbDone"));
    EXPECT_EQ(Longs(done, atoms::X), Numbers{200});
    EXPECT_EQ(Longs(done, atoms::Y), Numbers{215});

    Click(bookPort, Atom("BtnAbDone"));
    EXPECT_EQ(Deliveries(About(atoms::AppPort, code::kStop, atoms::NAME, atoms::ports::ScAbAddress)), Lines{"post 0"});
    Deliver(bookPort, code::kLeft);
    EXPECT_EQ(host_.Requests(mainScene_, code::kAfterCover).size(), 1u);
    EXPECT_EQ(wm::Handover().address_book_caller, nullptr);
    // The host shows the main scene again, but closing a scene leaves the current screen as it was.
    EXPECT_EQ(CurrentScene(), atoms::ports::ScAbAddress);
}

TEST_F(ScreensTest, AddressBookFieldsTabBetweenThemAndEnterLeavesThem) {
    Start("Robin", "robin7", "pw");
    const uint16_t bookPort = atoms::ports::AddressPort;
    const uint16_t name = Atom("EdtAbName");
    host_.scenes.editTexts[name] = "Ann\t";
    EditKey(bookPort, name, atoms::TAB);
    EXPECT_EQ(host_.scenes.editTexts[name], "Ann");
    EXPECT_EQ(Shorts(host_.Requests(atoms::ports::ScAbAddress, code::kSet), atoms::NAME), Atoms{Atom("EdtAbEmail")});
    EditKey(bookPort, Atom("EdtAbEmail"), atoms::ENTER);
    const auto leave = host_.Requests(atoms::ports::ScAbAddress, code::kSet);
    ASSERT_EQ(leave.size(), 2u);
    EXPECT_FALSE(EDictHasKey(&leave[1].record, atoms::NAME));
}

TEST_F(ScreensTest, WriteScreenShowsTheMailboxNameAndHoldsItsPortsWhileShown) {
    Start("Robin");
    wm::ShowScreen(atoms::ports::ScWrWrite);
    const uint16_t writePort = atoms::ports::WritePort;
    Deliver(writePort, code::kEntered);
    EXPECT_TRUE(Attached(atoms::TimerPortSeconds, &PM_WriteMessage));
    ExpectMailboxName(atoms::ports::ScWrWrite, "Robin");
    Deliver(writePort, code::kLeft);
    EXPECT_FALSE(Attached(atoms::TimerPortSeconds, &PM_WriteMessage));
    EXPECT_FALSE(Attached(atoms::KeyboardPort, &PM_WriteMessage));
}

}  // namespace
