// What every screen shares against the null host: the button and help-sound rules of the screen
// base, the common dialog's requests on the screens that show it (which buttons a notice shows,
// and its backdrop, are checked by the sign-in and scene_pictures sessions), the mailbox name,
// and the moves between screens; then the address book, read and sign-in screens.
#include <algorithm>
#include <string>
#include <vector>

#include "clients/host_application.h"
#include "controls/list_box.h"
#include "controls/rich_text_view.h"
#include "messaging/dict_object.h"
#include "screens/address_book_screen.h"
#include "screens/main_screen.h"
#include "screens/read_screen.h"
#include "screens/sign_in_screen.h"
#include "screens/write_screen.h"
#include "store/address_book.h"
#include "../controls/request_fields.h"
#include "module_test.h"

namespace {

namespace sprites = atoms::dialog_sprites;

// A bare screen on a scene of its own.
class ProbeScreen : public wm::PMScreenBase {
public:
    ProbeScreen(uint16_t scene, uint16_t help) {
        SetScene(scene);
        SetHelpSound(help);
    }
};

class ScreenBaseTest : public ModuleTest {
protected:
    const uint16_t scene_ = Atom("ScTsProbe");
    const uint16_t go_ = Atom("BtnTsGo");
    ProbeScreen screen_{scene_, Atom("SndTsHelp")};

    bool Handle(EDict record) { return screen_.HandleMessage(&record); }
};

TEST_F(ScreenBaseTest, OnlyThePointerOverAnEnabledButtonDrawsItRolledAndUp) {
    screen_.AddButton(go_, false);
    EXPECT_FALSE(Handle(Cursor(go_, atoms::BEGIN, atoms::CURSOR))) << "disabled: left to the screen";
    EXPECT_FALSE(Handle(Cursor(Atom("BtnTsOther"), atoms::BEGIN, atoms::CURSOR)));
    EXPECT_EQ(Effects(scene_, go_), (Atoms{atoms::buttons::Disabled}));
    screen_.SetButtonEnabled(go_, true);
    host_.Forget();
    EXPECT_FALSE(Handle(Cursor(go_, atoms::BEGIN, Atom("PEN"))));
    EXPECT_FALSE(Handle(Cursor(go_, atoms::MIDDLE, atoms::CURSOR)));
    EXPECT_FALSE(Handle(Named(code::kClick, go_)));
    EXPECT_TRUE(host_.Requests(0).empty());
    EXPECT_TRUE(Handle(Cursor(go_, atoms::BEGIN, atoms::CURSOR)));
    EXPECT_TRUE(Handle(Cursor(go_, atoms::END, atoms::CURSOR)));
    EXPECT_EQ(Effects(scene_, go_), (Atoms{atoms::buttons::Roll, atoms::buttons::Up}));
    EXPECT_EQ(Deliveries(host_.Requests(scene_, code::kSetEffect)), (Lines{"post 0", "post 0"}));
}

TEST_F(ScreenBaseTest, ASpriteRegisteredTwiceChangesOnlyItsNewerRecord) {
    screen_.AddButton(go_, true);
    screen_.AddButton(go_, true);
    screen_.SetButtonEnabled(go_, false);
    ASSERT_EQ(screen_.Buttons().Size(), 2u);
    EXPECT_EQ(screen_.Buttons().Head()->enabled, 1);
    EXPECT_EQ(screen_.Buttons().Tail()->enabled, 0);
    // The older record is still enabled, so the pointer still draws the button.
    EXPECT_TRUE(screen_.SetButtonPressed(go_, true));
    EXPECT_EQ(Effects(scene_, go_).back(), atoms::buttons::Roll);
}

TEST_F(ScreenBaseTest, HelpSoundRotatesThroughThreeEffectsAndEffectZeroPlaysTheDefault) {
    const uint16_t help = screen_.HelpSound();
    for (int i = 0; i < 4; ++i) screen_.PlayHelpSound();
    EXPECT_EQ(Effects(scene_, help), (Atoms{atoms::buttons::Play1, atoms::buttons::Play2, atoms::buttons::Play3,
                                              atoms::buttons::Play1}));
    EXPECT_EQ(Deliveries(About(scene_, code::kStart, atoms::SPRITENAME, help)), Lines(4, "send 0"));
    EXPECT_EQ(screen_.HelpSoundIndex(), 1);
    const uint16_t bird = Atom("AniTsBird");
    screen_.PlaySpriteEffect(bird, 0);
    screen_.PlaySpriteEffect(bird, atoms::buttons::Play2);
    EXPECT_EQ(Effects(scene_, bird), (Atoms{atoms::buttons::Play, atoms::buttons::Play2}));
}

TEST_F(ScreenBaseTest, EveryScreenRegistersTheDialogButtons) {
    wm::MainScreen main;
    std::vector<uint16_t> registered;
    for (const wm::ButtonRecord* b = main.Buttons().Head(); b != nullptr; b = b->next) {
        EXPECT_EQ(b->enabled, 1);
        EXPECT_EQ(b->port, atoms::ports::ScWnMain);
        registered.push_back(b->sprite);
    }
    EXPECT_EQ(registered, (std::vector<uint16_t>{sprites::BtnCoYes, sprites::BtnCoNo, sprites::BtnCoOk}));
}

class CommonDialogTest : public ModuleTest {
protected:
    // Each dialog request at the scene, as "type sprite" pairs with its kind of delivery.
    struct Step {
        int event;
        uint16_t type;
        uint16_t sprite;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> Steps(uint16_t scene) const {
        std::vector<Step> steps;
        for (const HostRequest& r : host_.Requests(scene)) {
            const uint16_t key = EDictHasKey(&r.record, atoms::SPRITENAME) ? atoms::SPRITENAME : atoms::NAME;
            steps.push_back(Step{r.event, EDictGetType(&r.record), EDictGetShort(&r.record, key)});
        }
        return steps;
    }
    Numbers ZOf(uint16_t scene, uint16_t sprite) const {
        Numbers z;
        for (const HostRequest& r : About(scene, code::kSet, atoms::NAME, sprite)) {
            if (EDictHasKey(&r.record, atoms::Z)) z.push_back(EDictGetLong(&r.record, atoms::Z));
        }
        return z;
    }

    void SetUp() override {
        ModuleTest::SetUp();
        Start("Robin");  // on the main screen
        screen_ = wm::CurrentScreen();
        host_.Forget();
    }

    const uint16_t scene_ = atoms::ports::ScWnMain;
    const uint16_t question_ = Atom("TsQuestion");
    wm::PMScreenBase* screen_ = nullptr;
};

TEST_F(CommonDialogTest, AQuestionShowsBackdropYesNoAndTextAboveTheCover) {
    screen_->ShowDialog(wm::kDialogYesNo, question_, "Go on?");
    const int send = HxTraceSend;
    const std::vector<Step> expected = {
        {send, code::kBeforeCover, 0},        {HxTracePost, code::kStart, sprites::SptCoCover},
        {send, code::kStart, sprites::AniCoDialog}, {send, code::kSet, sprites::AniCoDialog},
        {send, code::kSet, sprites::AniCoDialog},   {send, code::kStart, sprites::BtnCoYes},
        {send, code::kSet, sprites::BtnCoYes},      {send, code::kSet, sprites::BtnCoYes},
        {send, code::kStart, sprites::BtnCoNo},     {send, code::kSet, sprites::BtnCoNo},
        {send, code::kSet, sprites::BtnCoNo},       {send, code::kStart, sprites::TxtCoDialog},
        {send, code::kSet, sprites::TxtCoDialog},   {send, code::kSet, sprites::TxtCoDialog},
        {send, code::kSet, sprites::TxtCoDialog},
    };
    EXPECT_EQ(Steps(scene_), expected);
    // The whole scene hears of the cover before it comes, at once.
    EXPECT_EQ(EDictGetLong(&host_.Requests(scene_).front().record, atoms::layout::ALL), 1);
    EXPECT_EQ(Deliveries(About(scene_, code::kStart, atoms::SPRITENAME, sprites::SptCoCover)), Lines{"post 0"});
    EXPECT_EQ(ZOf(scene_, sprites::AniCoDialog), Numbers{2});
    EXPECT_EQ(ZOf(scene_, sprites::BtnCoYes), Numbers{1});
    EXPECT_EQ(ZOf(scene_, sprites::TxtCoDialog), Numbers{1});
    const auto yes = About(scene_, code::kStart, atoms::SPRITENAME, sprites::BtnCoYes);
    EXPECT_EQ(EDictGetLong(&yes[0].record, atoms::X), 0);
    EXPECT_TRUE(EDictHasKey(&yes[0].record, atoms::Y));
    const auto text = About(scene_, code::kSet, atoms::NAME, sprites::TxtCoDialog);
    EXPECT_STREQ(EDictGetText(&text.back().record, atoms::TEXT), "Go on?");
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, question_);
}

TEST_F(CommonDialogTest, ClosingHidesAllFiveSpritesThenTheCoverAndKeepsTheName) {
    screen_->ShowDialog(wm::kDialogOk, question_, "Done.");
    host_.Forget();
    screen_->CloseDialog(sprites::BtnCoOk);
    const std::vector<Step> expected = {
        {HxTraceSend, code::kStop, sprites::AniCoDialog}, {HxTraceSend, code::kStop, sprites::BtnCoYes},
        {HxTraceSend, code::kStop, sprites::BtnCoNo},     {HxTraceSend, code::kStop, sprites::BtnCoOk},
        {HxTraceSend, code::kStop, sprites::TxtCoDialog}, {HxTraceSend, code::kAfterCover, 0},
        {HxTracePost, code::kStop, sprites::SptCoCover},
    };
    EXPECT_EQ(Steps(scene_), expected);
    EXPECT_EQ(Deliveries(About(scene_, code::kStop, atoms::NAME, sprites::SptCoCover)), Lines{"post 0"});
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, question_);
}

TEST_F(CommonDialogTest, WriteHidesTheSubjectAndAddressBookMovesTheDialogIntoItsSmallerScene) {
    wm::PMScreenBase* write = wm::Screens().At(wm::kWriteSlot);
    const uint16_t subject = Atom("EdtWrSubject");
    write->ShowDialog(wm::kDialogOk, question_, "Saved.");
    write->CloseDialog(sprites::BtnCoOk);
    EXPECT_EQ(Shorts(host_.Requests(atoms::ports::ScWrWrite), atoms::NAME).front(), subject) << "hidden first";
    EXPECT_EQ(Longs(About(atoms::ports::ScWrWrite, code::kSet, atoms::NAME, subject), atoms::VISIBLE), (Numbers{0, 1}));

    // The address book moves the dialog into its smaller scene.
    wm::PMScreenBase* book = wm::Screens().At(wm::kAddressSlot);
    const uint16_t scene = atoms::ports::ScAbAddress;
    book->ShowDialog(wm::kDialogOk, question_, "Empty.");
    const auto moves = host_.Requests(scene, code::kMove);
    EXPECT_EQ(Shorts(moves, atoms::NAME), (Atoms{sprites::AniCoDialog, sprites::BtnCoOk, sprites::TxtCoDialog}));
    EXPECT_EQ(Longs(moves, atoms::X), (Numbers{-115, -115, 75}));
    EXPECT_EQ(About(scene, code::kSet, atoms::NAME, Atom("EdtAbName")).size(), 1u);
    book->CloseDialog(sprites::BtnCoOk);
    EXPECT_EQ(Longs(About(scene, code::kSet, atoms::NAME, Atom("EdtAbEmail")), atoms::VISIBLE), (Numbers{0, 1}));
}

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
// New leads to the write screen in every write session.
TEST_F(ScreensTest, MainAndWriteScreensShowTheMailboxNameHoldTheirPortsWhileShownAndMainButtonsWork) {
    wm::AppSettings().parent_url = "https://parents.example";
    Start("Robin");
    Deliver(mainPort_, code::kEntered);
    EXPECT_TRUE(Attached(atoms::KeyboardPort, &PM_WrenmailMain));
    ExpectMailboxName(mainScene_, "Robin");
    Deliver(mainPort_, code::kLeft);
    EXPECT_FALSE(Attached(atoms::KeyboardPort, &PM_WrenmailMain));
    wm::ShowScreen(atoms::ports::ScWrWrite);
    Deliver(atoms::ports::WritePort, code::kEntered);
    EXPECT_TRUE(Attached(atoms::TimerPortSeconds, &PM_WriteMessage));
    ExpectMailboxName(atoms::ports::ScWrWrite, "Robin");
    Deliver(atoms::ports::WritePort, code::kLeft);
    EXPECT_FALSE(Attached(atoms::TimerPortSeconds, &PM_WriteMessage));
    EXPECT_FALSE(Attached(atoms::KeyboardPort, &PM_WriteMessage));
    wm::ShowScreen(mainScene_);

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

    Click(mainPort_, Atom("BtnWnParent"));
    EXPECT_EQ(Texts(host_.Requests(atoms::shell::HarborPort, code::kOpenAddress), atoms::STRING),
              Lines{"https://parents.example"});
    Click(mainPort_, Atom("BtnWnChange"));
    EXPECT_EQ(CurrentScene(), atoms::ports::ScCsSignIn);
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

// The address book's own screen, for what its session (tests/e2e/address_book, which also checks
// the dialogs' texts, the deleted line and the saved file) cannot see: the fields' keys, the
// dialog's placement, buttons refused under it, and the save only at Leave.
class AddressBookScreenTest : public ModuleTest {
protected:
    void Open() {
        Start("Robin", "robin7", "pw");
        wm::DictObject book;
        book.PutShort(Atom("zed"), Atom("zed_1"));
        book.PutShort(Atom("Bob"), Atom("bob_2"));
        book.PutLong(Atom("Version"), 3);
        book.PutShort(Atom("alfie"), Atom("alf_3"));
        files_.Store(kBookFolder, wm::kAddressBookFile, book);
        wm::ShowScreen(atoms::ports::ScAbAddress);
        Deliver(bookPort_, code::kEntered);
    }
    wm::AddressBookScreen& Screen() { return *static_cast<wm::AddressBookScreen*>(wm::Screens().At(wm::kAddressSlot)); }
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        wm::PMListBox* list = Screen().List();
        for (uint32_t n = 0; list != nullptr && n < list->GetItemCount(); ++n) lines.push_back(list->ItemAt(n).text);
        return lines;
    }
    int BookWrites() const {
        return static_cast<int>(std::count(files_.writeLog.begin(), files_.writeLog.end(), "AddBook.wdb write"));
    }

    const Path kBookFolder = {"MailBoxes", "kiteAccounts", "robin7"};
    const uint16_t bookPort_ = atoms::ports::AddressPort;
    const uint16_t scene_ = atoms::ports::ScAbAddress;
};

TEST_F(AddressBookScreenTest, FieldsTabTheDialogSitsLowerOnlyOkAnswersItDeleteNeedsALineAndLeaveSaves) {
    Open();
    // Tab cleans the field and moves to the other; Enter lets go of both.
    const uint16_t name = Atom("EdtAbName");
    host_.Forget();
    host_.scenes.editTexts[name] = "Ann\t";
    EditKey(bookPort_, name, atoms::TAB);
    EXPECT_EQ(host_.scenes.editTexts[name], "Ann");
    EXPECT_EQ(Shorts(host_.Requests(scene_, code::kSet), atoms::NAME), Atoms{Atom("EdtAbEmail")});
    EditKey(bookPort_, Atom("EdtAbEmail"), atoms::ENTER);
    const auto leave = host_.Requests(scene_, code::kSet);
    ASSERT_EQ(leave.size(), 2u);
    EXPECT_FALSE(EDictHasKey(&leave[1].record, atoms::NAME));

    host_.scenes.editTexts[name] = "Aunt May";
    host_.scenes.editTexts[Atom("EdtAbEmail")] = "may_5";
    Click(bookPort_, Atom("BtnAbAdd"));
    EXPECT_EQ(wm::CommonDialog().current, Atom("IllegalName"));
    // The fields hide while the dialog is up, as the dialog tests check; here its height.
    EXPECT_EQ(Longs(About(scene_, code::kMove, atoms::NAME, sprites::BtnCoOk), atoms::Y), Numbers{-75});
    EXPECT_FALSE(Screen().OnButton(Atom("BtnAbAdd")));
    Click(bookPort_, sprites::BtnCoOk);
    EXPECT_FALSE(wm::CommonDialog().up);

    // Delete needs a selected line; the book is saved only at Leave.
    Click(bookPort_, Atom("BtnAbDelete"));  // nothing selected: nothing happens
    EXPECT_EQ(Lines().size(), 3u);
    Screen().List()->Select(0);
    Click(bookPort_, Atom("BtnAbDelete"));
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Bob", "zed"}));

    Click(bookPort_, Atom("BtnAbDone"));
    EXPECT_EQ(BookWrites(), 0);  // the host closes the scene first
    Deliver(bookPort_, code::kLeft);
    EXPECT_EQ(BookWrites(), 1);
    EXPECT_EQ(Screen().List(), nullptr);
    EXPECT_EQ(Screen().Book(), nullptr);
}

// The read screen: the three fields as the address book names them, and print (the reply's fields
// and the display modes are checked by the read_letters, write_reply and print_stamps sessions).
class ReadScreenTest : public ModuleTest {
protected:
    // Starts a user with the book stored and enters the read screen on the message.
    void Open(const char* player, const char* kite) {
        Start(player, kite, kite != nullptr ? "pw" : nullptr);
        if (kite != nullptr) files_.Store({"MailBoxes", "kiteAccounts", kite}, wm::kAddressBookFile, book_);
        wm::Handover().current_message = message_;
        wm::ShowScreen(atoms::ports::ScRdRead);
        Deliver(readPort_, code::kEntered);
    }
    // The text last set on the read scene's sprite; "(unset)" when none was.
    std::string Shown(const char* sprite) const {
        const auto it = host_.scenes.spriteTexts.find(Atom(sprite));
        return it != host_.scenes.spriteTexts.end() ? it->second : "(unset)";
    }
    wm::ReadScreen& Screen() { return *static_cast<wm::ReadScreen*>(wm::Screens().At(wm::kReadSlot)); }

    void Name(const char* name, const char* kiteId) { book_.PutShort(Atom(name), Atom(kiteId)); }

    wm::DictObject book_;
    const uint32_t message_ = mail_.Add({});
    std::map<uint16_t, std::string>& texts_ = mail_.objects[message_].texts;
    const uint16_t readPort_ = atoms::ports::ReadPort;
};

TEST_F(ReadScreenTest, SendersShowAsTheBookNamesThem) {
    Name("Gran", "GRAN_42");
    texts_[atoms::mail::From] = "Granny Smith <gran_42>";
    texts_[atoms::mail::To] = "Robin R <robin7>";
    texts_[atoms::mail::Subject] = "Cookies";
    Open("Robin", "robin7");
    EXPECT_EQ(Shown("TxtRdFromName"), "Gran");
    EXPECT_EQ(Shown("TxtRdToName"), "robin7");
    EXPECT_EQ(Shown("TxtRdSubjectName"), "Cookies");
    const auto constrained = About(atoms::ports::ScRdRead, code::kSet, atoms::NAME, Atom("TxtRdSubjectName"));
    ASSERT_FALSE(constrained.empty());
    EXPECT_TRUE(EDictGetBool(&constrained.back().record, atoms::CONSTRAINED));

}

TEST_F(ReadScreenTest, WithoutToTheReaderIsTheRecipient) {
    Name("Me", "robin7");
    Open("Robin", "robin7");
    EXPECT_EQ(Shown("TxtRdFromName"), "");  // no From: the empty text
    EXPECT_EQ(Shown("TxtRdToName"), "Me");  // the kite ID, looked up like any address
    EXPECT_EQ(Shown("TxtRdSubjectName"), "(unset)");
}

TEST_F(ReadScreenTest, APlayerWithoutKiteIdIsShownUnchangedAndHasNoBook) {
    Name("Robin", "Robin");
    Open("Robin", nullptr);
    EXPECT_EQ(Shown("TxtRdToName"), "Robin");
    EXPECT_EQ(Shown("TxtRdFromName"), "");
}

TEST_F(ReadScreenTest, TheBodyIsReadOnlyAndPrintStartsOnceWhilePrinting) {
    Open("Robin", "robin7");
    ASSERT_NE(Screen().Body(), nullptr);
    EXPECT_TRUE(Screen().Body()->ReadOnly());  // the modes and their buttons: read_letters, print_stamps
    Click(readPort_, Atom("BtnRdPrint"));
    EXPECT_EQ(wm::Handover().printing, 1);
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(RequestedScene(), atoms::ports::ScPrPrint);
    EXPECT_FALSE(Screen().OnButton(Atom("BtnRdBack")));  // only OK while the dialog is up
    EXPECT_FALSE(Screen().OnButton(sprites::BtnCoYes));
    Screen().CloseDialog(sprites::BtnCoOk);
    Click(readPort_, Atom("BtnRdPrint"));
    EXPECT_FALSE(wm::CommonDialog().up);  // still printing: nothing happens
    wm::Handover().printing = 0;
    Deliver(readPort_, code::kLeft);
    EXPECT_EQ(Screen().Body(), nullptr);
    EXPECT_FALSE(Attached(atoms::KeyboardPort, &PM_ReadMessage));
}

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
// the fields) is the player_and_kite session's; a kite login not given at the start is dropped.
TEST_F(SignInTest, AStaleLoginIsDroppedTabCleansTheFieldAndMovesAndEnterAsksForValidation) {
    Start("Robin");
    wm::Identity().SetKiteLogin("stale", "stalepw");
    Deliver(port_, code::kEntered);
    EXPECT_STREQ(wm::Identity().GetKiteId(), "");
    EXPECT_STREQ(wm::Identity().GetPassword(), "");
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
