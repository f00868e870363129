// The read screen against the null host: the three fields as the address book names them and
// print (the reply's fields and the display modes are checked by the read_letters, write_reply and
// print_stamps sessions).

#include "controls/rich_text_view.h"
#include "module_test.h"
#include "screens/read_screen.h"
#include "store/address_book.h"

namespace {

namespace sprites = atoms::dialog_sprites;

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

}  // namespace
