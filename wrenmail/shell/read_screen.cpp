#include "shell/read_screen.h"

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"
#include "shell/common_dialog.h"
#include "shell/screen_registry.h"
#include "wrenmail.h"

namespace wm {

ReadScreen::ReadScreen() {
    SetScene(atoms::ports::ScRdRead);
    AddDialogButtons();
}

ReadScreen::~ReadScreen() = default;

void ReadScreen::InitNames() {
    backButton_ = FetchAtom("BtnRdBack");
    printButton_ = FetchAtom("BtnRdPrint");
    replyButton_ = FetchAtom("BtnRdReply");
    helpButton_ = FetchAtom("BtnRdHelp");
    picturesButton_ = FetchAtom("BtnRdPictures");
    textButton_ = FetchAtom("BtnRdText");
    toName_ = FetchAtom("TxtRdToName");
    subjectName_ = FetchAtom("TxtRdSubjectName");
    fromName_ = FetchAtom("TxtRdFromName");
    SetHelpSound(FetchAtom("SndRdHelp"));
}

void ReadScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_ReadMessage);
    ShowMailboxName();
    for (uint16_t button : {helpButton_, printButton_, backButton_, picturesButton_, textButton_, replyButton_}) {
        AddButton(button, true);
    }
}

void ReadScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_ReadMessage);
}

bool ReadScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    HandleEnterLeaveClick(record);
    return true;
}

bool ReadScreen::OnButton(uint16_t sprite) {
    if (CommonDialog().up) {
        if (sprite != atoms::dialog_sprites::BtnCoOk) {
            return false;
        }
        CloseDialog(sprite);
    } else if (sprite == backButton_) {
        ShowScreen(atoms::ports::ScWnMain);
    } else if (sprite == helpButton_) {
        PlayHelpSound();
    } else {
        return false;
    }
    return true;
}

}  // namespace wm
