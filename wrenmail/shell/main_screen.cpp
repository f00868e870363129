#include "shell/main_screen.h"

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "shell/common_dialog.h"
#include "shell/host_application.h"
#include "shell/screen_handover.h"
#include "shell/screen_registry.h"
#include "shell/settings.h"
#include "shell/user_identity.h"
#include "transport/mail_transfer.h"
#include "wrenmail.h"

namespace wm {
namespace {

// The exit question is gone before the reminder comes.
constexpr int32_t kReminderDelay = 20;

}  // namespace

MainScreen::MainScreen() {
    SetScene(atoms::ports::ScWnMain);
    AddDialogButtons();
}

MainScreen::~MainScreen() = default;

void MainScreen::InitNames() {
    addressButton_ = FetchAtom("BtnWnAddress");
    changeButton_ = FetchAtom("BtnWnChange");
    dateButton_ = FetchAtom("BtnWnDate");
    deleteButton_ = FetchAtom("BtnWnDelete");
    exitButton_ = FetchAtom("BtnWnExit");
    fromButton_ = FetchAtom("BtnWnFrom");
    helpButton_ = FetchAtom("BtnWnHelp");
    newButton_ = FetchAtom("BtnWnNew");
    parentButton_ = FetchAtom("BtnWnParent");
    readButton_ = FetchAtom("BtnWnRead");
    subjectButton_ = FetchAtom("BtnWnSubject");
    updateButton_ = FetchAtom("BtnWnUpdate");
    confirmDelete_ = FetchAtom("ConfirmDelete");
    disconnectReminder_ = FetchAtom("DisconnectReminder");
    showDisconnectReminder_ = FetchAtom("aShowDisconnectReminder");
    SetHelpSound(FetchAtom("SndWnHelp"));
}

void MainScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_WrenmailMain);
    ShowMailboxName();
    for (uint16_t button : {addressButton_, changeButton_, deleteButton_, exitButton_, helpButton_, newButton_,
                            readButton_, updateButton_, parentButton_, fromButton_, subjectButton_, dateButton_}) {
        AddButton(button, true);
    }
    // A user known only by player ID has neither an address book nor mail exchange.
    if (Identity().GetKiteId()[0] == '\0') {
        SetButtonEnabled(addressButton_, false);
        SetButtonEnabled(updateButton_, false);
    }
}

void MainScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_WrenmailMain);
}

bool MainScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    const uint16_t type = EDictGetType(record);
    if (type == code::kEntered) {
        Enter();
    } else if (type == code::kLeft) {
        Leave();
    } else if (type == code::kClick) {
        OnButton(EDictGetShort(record, atoms::NAME));
    } else if (type == showDisconnectReminder_) {
        ShowDialog(kDialogOk, disconnectReminder_, kDisconnectReminderText);
    }
    return true;
}

bool MainScreen::OnButton(uint16_t sprite) {
    return CommonDialog().up ? OnDialogButton(sprite) : OnScreenButton(sprite);
}

bool MainScreen::OnDialogButton(uint16_t sprite) {
    namespace sprites = atoms::dialog_sprites;
    const uint16_t dialog = CommonDialog().current;
    if (sprite == sprites::BtnCoYes) {
        if (dialog == ConfirmExitDialog()) {
            PostAction(atoms::ports::WrenmailMainPort, showDisconnectReminder_, kReminderDelay);
        }
        CloseDialog(sprite);
    } else if (sprite == sprites::BtnCoNo) {
        CloseDialog(sprite);
    } else if (sprite == sprites::BtnCoOk) {
        if (dialog == disconnectReminder_) {
            ExitApplication();
        }
        CloseDialog(sprite);
    } else {
        return false;
    }
    return true;
}

bool MainScreen::OnScreenButton(uint16_t sprite) {
    if (sprite == exitButton_) {
        ShowDialog(kDialogYesNo, ConfirmExitDialog(), kConfirmExitText);
    } else if (sprite == helpButton_) {
        PlayHelpSound();
    } else if (sprite == changeButton_) {
        ShowScreen(atoms::ports::ScCsSignIn);
    } else if (sprite == newButton_) {
        ShowScreen(atoms::ports::ScWrWrite);
    } else if (sprite == addressButton_) {
        OpenAddressBook();
    } else if (sprite == updateButton_) {
        StartSendAndFetch();
    } else if (sprite == parentButton_) {
        OpenWebAddress(AppSettings().parentUrl.c_str());
    } else {
        return false;
    }
    return true;
}

void MainScreen::OpenAddressBook() {
    Handover().addressBookCaller = this;
    ShowScreen(atoms::ports::ScAbAddress);
}

}  // namespace wm
