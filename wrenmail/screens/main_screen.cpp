#include "screens/main_screen.h"

#include "controls/mailbox_list.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/mailbox_lines.h"
#include "screens/common_dialog.h"
#include "clients/host_application.h"
#include "state/screen_handover.h"
#include "screens/screen_registry.h"
#include "state/service_handles.h"
#include "state/settings.h"
#include "state/user_identity.h"
#include "store/address_book.h"
#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "store/trash.h"
#include "clients/mail_requests.h"
#include "transport/mail_transfer.h"
#include "wrenmail.h"

namespace wm {
namespace {

// The exit question is gone before the reminder comes.
constexpr int32_t kReminderDelay = 20;
constexpr int32_t kDoubleClick = 2;

ListBoxGeometry MailboxListSpec() {
    return ListBoxGeometry{155, 180, 405, 195, 16, false, atoms::ports::ScWnMain, atoms::ports::WrenmailMainPort,
                       0, 0, true, 10};
}
constexpr ColumnShares kMailboxColumns{25, 58, 17};
constexpr const char* kListFont = "Comic Sans MS";
constexpr uint32_t kListFontSize = 14;

const char* OwnerIdOf(uint32_t ownerKind) {
    return ownerKind == OwnerKiteAccount ? Identity().GetKiteId() : Identity().GetPlayerId();
}

}  // namespace

MainScreen::MainScreen() {
    SetScene(atoms::ports::ScWnMain);
    AddDialogButtons();
    Handover().sort_key = SortByDate;
    Handover().sort_descending = true;
}

// The screens go at plug-in end; the message last opened goes with them.
MainScreen::~MainScreen() {
    FreeCurrentMessage();
}

void MainScreen::InitNames() {
    address_button_ = FetchAtom("BtnWnAddress");
    change_button_ = FetchAtom("BtnWnChange");
    date_button_ = FetchAtom("BtnWnDate");
    delete_button_ = FetchAtom("BtnWnDelete");
    exit_button_ = FetchAtom("BtnWnExit");
    from_button_ = FetchAtom("BtnWnFrom");
    help_button_ = FetchAtom("BtnWnHelp");
    new_button_ = FetchAtom("BtnWnNew");
    parent_button_ = FetchAtom("BtnWnParent");
    read_button_ = FetchAtom("BtnWnRead");
    subject_button_ = FetchAtom("BtnWnSubject");
    update_button_ = FetchAtom("BtnWnUpdate");
    confirm_delete_ = FetchAtom("ConfirmDelete");
    disconnect_reminder_ = FetchAtom("DisconnectReminder");
    show_disconnect_reminder_ = FetchAtom("aShowDisconnectReminder");
    SetHelpSound(FetchAtom("SndWnHelp"));
}

void MainScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_WrenmailMain);
    ShowMailboxName();
    CreateList();
    if (first_start_) {
        StartSendAndFetch();
        first_start_ = false;
    }
    RefreshList();
    list_->Show();
    for (uint16_t button : {address_button_, change_button_, delete_button_, exit_button_, help_button_, new_button_,
                            read_button_, update_button_, parent_button_, from_button_, subject_button_, date_button_}) {
        AddButton(button, true);
    }
    // A user known only by player ID has neither an address book nor mail exchange.
    if (Identity().GetKiteId()[0] == '\0') {
        SetButtonEnabled(address_button_, false);
        SetButtonEnabled(update_button_, false);
    }
}

void MainScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_WrenmailMain);
    DestroyList();
}

void MainScreen::CreateList() {
    list_ = std::make_unique<PMMailboxList>(MailboxListSpec(), kMailboxColumns);
    list_->SetFont(kListFont, kListFontSize);
}

void MainScreen::DestroyList() {
    if (list_) {
        list_->RemoveAll();
        list_.reset();
    }
}

void MainScreen::RefreshList() {
    if (!list_) {
        return;
    }
    const MessageHeaderList* headers = Services().header_list;
    if (headers == nullptr || headers->Size() == 0) {
        list_->RemoveAll();
        return;
    }
    // Each sender is looked up in the stored book as it is read.
    const StoredBookNames book(Identity().GetKiteId());
    FillMailboxList(*list_, *headers, book, SortOrder{Handover().sort_key, Handover().sort_descending});
}

bool MainScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    const uint16_t type = EDictGetType(record);
    if (HandleEnterLeaveClick(record)) {
        return true;
    }
    if (type == code::kPress) {
        OnPress(record);
    } else if (type == atoms::actions::aOnMailDownloaded) {
        RefreshList();
    } else if (type == show_disconnect_reminder_) {
        ShowDialog(kDialogOk, disconnect_reminder_, kDisconnectReminderText);
    }
    return true;
}

void MainScreen::OnPress(const EDict* record) {
    if (list_ && list_->IsOwnSprite(EDictGetShort(record, atoms::NAME)) &&
        EDictGetLong(record, atoms::COUNT) == kDoubleClick) {
        OnButton(read_button_);
    }
}

bool MainScreen::OnButton(uint16_t sprite) {
    return CommonDialog().up ? OnDialogButton(sprite) : OnScreenButton(sprite);
}

bool MainScreen::OnDialogButton(uint16_t sprite) {
    namespace sprites = atoms::dialog_sprites;
    const uint16_t dialog = CommonDialog().current;
    if (sprite == sprites::BtnCoYes) {
        if (dialog == confirm_delete_) {
            DeleteSelected();
        } else if (dialog == ConfirmExitDialog()) {
            PostAction(atoms::ports::WrenmailMainPort, show_disconnect_reminder_, kReminderDelay);
        }
        CloseDialog(sprite);
    } else if (sprite == sprites::BtnCoNo) {
        CloseDialog(sprite);
    } else if (sprite == sprites::BtnCoOk) {
        if (dialog == disconnect_reminder_) {
            ExitApplication();
        }
        CloseDialog(sprite);
    } else {
        return false;
    }
    return true;
}

bool MainScreen::OnScreenButton(uint16_t sprite) {
    if (sprite == exit_button_) {
        ShowDialog(kDialogYesNo, ConfirmExitDialog(), kConfirmExitText);
    } else if (sprite == read_button_) {
        OpenSelected();
    } else if (sprite == delete_button_) {
        if (list_ && list_->SelectionSize() > 0) {
            ShowDialog(kDialogYesNo, confirm_delete_, kConfirmDeleteText);
        }
    } else if (sprite == help_button_) {
        PlayHelpSound();
    } else if (sprite == change_button_) {
        ShowScreen(atoms::ports::ScCsSignIn);
    } else if (sprite == new_button_) {
        ShowScreen(atoms::ports::ScWrWrite);
    } else if (sprite == address_button_) {
        OpenAddressBook();
    } else if (sprite == update_button_) {
        StartSendAndFetch();
        RefreshList();
    } else if (sprite == parent_button_) {
        OpenWebAddress(AppSettings().parent_url.c_str());
    } else if (sprite == from_button_) {
        SortBy(SortByFrom);
    } else if (sprite == subject_button_) {
        SortBy(SortBySubject);
    } else if (sprite == date_button_) {
        SortBy(SortByDate);
    } else {
        return false;
    }
    return true;
}

// The current column's button turns the order round; another column keeps the direction.
void MainScreen::SortBy(int32_t key) {
    ScreenHandover& state = Handover();
    if (state.sort_key == key) {
        state.sort_descending = !state.sort_descending;
    } else {
        state.sort_key = key;
    }
    RefreshList();
}

void MainScreen::OpenSelected() {
    if (!list_) {
        return;
    }
    const ItemView selected = list_->SelectedText(0);
    if (selected.text == nullptr || selected.data == 0) {
        return;
    }
    FreeCurrentMessage();
    const uint32_t ownerKind = LineOwnerKind(selected.text);
    OpenMailFolder(OwnerIdOf(ownerKind), ownerKind, FolderInBox);
    uint32_t mailId = 0;
    Handover().current_message = MailNewMessage(LoadMessageById(selected.data, &mailId));
    ShowScreen(atoms::ports::ScRdRead);
}

// The other lines keep their places: the list is not rebuilt after a delete.
void MainScreen::DeleteSelected() {
    if (!list_) {
        return;
    }
    const int32_t index = list_->SelectedIndexAt(0);
    if (index < 0) {
        return;
    }
    const auto row = static_cast<uint32_t>(index);
    const ItemView item = list_->ItemAt(row);
    if (item.text != nullptr && item.data != 0) {
        TrashMessage(LineOwnerKind(item.text), item.data);
    }
    list_->Deselect(row);
    list_->RemoveItem(row);
}

void MainScreen::OpenAddressBook() {
    Handover().address_book_caller = this;
    ShowScreen(atoms::ports::ScAbAddress);
}

}  // namespace wm
