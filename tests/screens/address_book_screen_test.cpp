// The address book screen against the null host, for what its session (tests/e2e/address_book,
// which also checks the dialogs' texts, the deleted line and the saved file) cannot see: the
// dialog's placement, buttons refused under it, and the save only at Leave.

#include <algorithm>
#include <string>
#include <vector>

#include "controls/list_box.h"
#include "messaging/dict_object.h"
#include "../controls/request_fields.h"
#include "module_test.h"
#include "screens/address_book_screen.h"
#include "store/address_book.h"

namespace {

namespace sprites = atoms::dialog_sprites;

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
    void Fields(const char* name, const char* kiteId) {
        host_.scenes.editTexts[Atom("EdtAbName")] = name;
        host_.scenes.editTexts[Atom("EdtAbEmail")] = kiteId;
    }

    int BookWrites() const {
        return static_cast<int>(std::count(files_.writeLog.begin(), files_.writeLog.end(), "AddBook.wdb write"));
    }

    const Path kBookFolder = {"MailBoxes", "kiteAccounts", "robin7"};
    const uint16_t bookPort_ = atoms::ports::AddressPort;
    const uint16_t scene_ = atoms::ports::ScAbAddress;
};

TEST_F(AddressBookScreenTest, TheDialogSitsLowerOnlyOkAnswersItDeleteNeedsALineAndLeaveSaves) {
    Open();
    Fields("Aunt May", "may_5");
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

}  // namespace
