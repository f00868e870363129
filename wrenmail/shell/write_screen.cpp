#include "shell/write_screen.h"

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "shell/common_dialog.h"
#include "shell/screen_registry.h"
#include "wrenmail.h"

namespace wm {
namespace {

constexpr const char* kConfirmCancelText = "Are you sure you want to leave without saving this message?";

}  // namespace

WriteScreen::WriteScreen() {
    SetScene(atoms::ports::ScWrWrite);
    AddDialogButtons();
}

WriteScreen::~WriteScreen() = default;

void WriteScreen::InitNames() {
    doneButton_ = FetchAtom("BtnWrDone");
    backButton_ = FetchAtom("BtnWrBack");
    printButton_ = FetchAtom("BtnWrPrint");
    helpButton_ = FetchAtom("BtnWrHelp");
    picturesButton_ = FetchAtom("BtnWrPictures");
    textButton_ = FetchAtom("BtnWrText");
    addressButton_ = FetchAtom("BtnWrAddress");
    stampsButton_ = FetchAtom("BtnWrStamps");
    toField_ = FetchAtom("EdtWrTo");
    subjectField_ = FetchAtom("EdtWrSubject");
    needAddress_ = FetchAtom("NeedAddress");
    confirmCancel_ = FetchAtom("ConfirmCancel");
    notifySave_ = FetchAtom("NotifySave");
    illegalName_ = FetchAtom("IllegalName");
    bodySprite_ = FetchAtom("PvtWrMessage");
    SetHelpSound(FetchAtom("SndWrHelp"));
}

void WriteScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_WriteMessage);
    HxPortAttach(atoms::TimerPortSeconds, &PM_WriteMessage);
    for (uint16_t button : {addressButton_, printButton_, backButton_, doneButton_, helpButton_, picturesButton_,
                            textButton_, stampsButton_}) {
        ShowSprite(Scene(), button, kSend);
    }
    // Of the two mode buttons only the one naming the current mode shows; pictures come first.
    SetSpriteVisible(Scene(), textButton_, false, kSend);
    ShowSprite(Scene(), bodySprite_, kSend);
    ShowMailboxName();
    for (uint16_t button : {backButton_, helpButton_, doneButton_, printButton_, picturesButton_, textButton_,
                            addressButton_, stampsButton_}) {
        AddButton(button, true);
    }
}

void WriteScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_WriteMessage);
    HxPortDetach(atoms::TimerPortSeconds, &PM_WriteMessage);
}

bool WriteScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    if (!HandleEnterLeaveClick(record) && EDictGetType(record) == code::kEditKey) {
        OnEditKey(EDictGetShort(record, atoms::NAME), EDictGetShort(record, atoms::KEY));
    }
    return true;
}

void WriteScreen::OnEditKey(uint16_t field, uint16_t key) {
    if (field == toField_ && key == atoms::TAB) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), subjectField_, true, 0);
    }
}

bool WriteScreen::OnButton(uint16_t sprite) {
    return CommonDialog().up ? OnDialogButton(sprite) : OnScreenButton(sprite);
}

bool WriteScreen::OnDialogButton(uint16_t sprite) {
    namespace sprites = atoms::dialog_sprites;
    const uint16_t dialog = CommonDialog().current;
    if (sprite == sprites::BtnCoYes) {
        if (dialog == confirmCancel_) {
            ShowScreen(atoms::ports::ScWnMain);
        }
    } else if (sprite == sprites::BtnCoOk) {
        // After the address notices the user stays to correct the To field.
        if (dialog == notifySave_) {
            ShowScreen(atoms::ports::ScWnMain);
        }
    } else if (sprite != sprites::BtnCoNo) {
        return false;
    }
    CloseDialog(sprite);
    return true;
}

bool WriteScreen::OnScreenButton(uint16_t sprite) {
    if (sprite == backButton_) {
        ShowDialog(kDialogYesNo, confirmCancel_, kConfirmCancelText);
    } else if (sprite == helpButton_) {
        PlayHelpSound();
    } else {
        return false;
    }
    return true;
}

void WriteScreen::ShowDialog(int32_t kind, uint16_t dialog, const char* text) {
    SetSpriteVisible(Scene(), subjectField_, false, kSend);
    PMScreenBase::ShowDialog(kind, dialog, text);
}

void WriteScreen::CloseDialog(uint16_t button) {
    SetSpriteVisible(Scene(), subjectField_, true, kSend);
    PMScreenBase::CloseDialog(button);
}

}  // namespace wm
