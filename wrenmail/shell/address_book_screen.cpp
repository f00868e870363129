#include "shell/address_book_screen.h"

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "shell/common_dialog.h"
#include "shell/screen_handover.h"
#include "wrenmail.h"

namespace wm {
namespace {

// The buttons stand in a column on the scene's left.
constexpr int32_t kButtonX = 200;
constexpr int32_t kAddY = 68;
constexpr int32_t kDeleteY = 117;
constexpr int32_t kHelpY = 166;
constexpr int32_t kDoneY = 215;
// Where the dialog sits in this smaller scene.
constexpr int32_t kDialogX = -115;
constexpr int32_t kDialogY = -75;
constexpr int32_t kDialogTextX = 75;
constexpr int32_t kDialogTextY = 59;

}  // namespace

AddressBookScreen::AddressBookScreen() {
    SetScene(atoms::ports::ScAbAddress);
    AddDialogButtons();
}

AddressBookScreen::~AddressBookScreen() = default;

void AddressBookScreen::InitNames() {
    doneButton_ = FetchAtom("BtnAbDone");
    helpButton_ = FetchAtom("BtnAbHelp");
    addButton_ = FetchAtom("BtnAbAdd");
    deleteButton_ = FetchAtom("BtnAbDelete");
    nameField_ = FetchAtom("EdtAbName");
    idField_ = FetchAtom("EdtAbEmail");
    emptyField_ = FetchAtom("EmptyField");
    illegalName_ = FetchAtom("IllegalName");
    SetHelpSound(FetchAtom("SndAbHelp"));
}

void AddressBookScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_AddressBook);
    ShowSpriteAt(Scene(), addButton_, kButtonX, kAddY, 0);
    ShowSpriteAt(Scene(), deleteButton_, kButtonX, kDeleteY, 0);
    ShowSpriteAt(Scene(), helpButton_, kButtonX, kHelpY, 0);
    ShowSpriteAt(Scene(), doneButton_, kButtonX, kDoneY, 0);
    for (uint16_t button : {helpButton_, doneButton_, addButton_, deleteButton_}) {
        AddButton(button, true);
    }
    if (PMScreenBase* caller = Handover().addressBookCaller) {
        caller->ShowCover();
    }
}

void AddressBookScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_AddressBook);
    if (PMScreenBase* caller = Handover().addressBookCaller) {
        caller->HideCover();
        Handover().addressBookCaller = nullptr;
    }
}

bool AddressBookScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    if (!HandleEnterLeaveClick(record) && EDictGetType(record) == code::kEditKey) {
        OnEditKey(EDictGetShort(record, atoms::NAME), EDictGetShort(record, atoms::KEY));
    }
    return true;
}

void AddressBookScreen::OnEditKey(uint16_t field, uint16_t key) {
    if (field != nameField_ && field != idField_) {
        return;
    }
    if (key == atoms::TAB) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), field == nameField_ ? idField_ : nameField_, true, 0);
    } else if (key == atoms::ENTER) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), 0, true, 0);
    }
}

bool AddressBookScreen::OnButton(uint16_t sprite) {
    if (CommonDialog().up) {
        if (sprite != atoms::dialog_sprites::BtnCoOk) {
            return false;
        }
        CloseDialog(sprite);
    } else if (sprite == doneButton_) {
        // The host closes the scene; Leave follows from it.
        PostCloseScene(Scene(), 0);
    } else if (sprite == helpButton_) {
        PlayHelpSound();
    } else {
        return false;
    }
    return true;
}

void AddressBookScreen::ShowDialog(int32_t kind, uint16_t dialog, const char* text) {
    PMScreenBase::ShowDialog(kind, dialog, text);
    SetFieldsVisible(false);
    PlaceDialog(kind);
}

void AddressBookScreen::CloseDialog(uint16_t button) {
    PMScreenBase::CloseDialog(button);
    SetFieldsVisible(true);
}

void AddressBookScreen::SetFieldsVisible(bool visible) {
    SetSpriteVisible(Scene(), nameField_, visible, kSend);
    SetSpriteVisible(Scene(), idField_, visible, kSend);
}

void AddressBookScreen::PlaceDialog(int32_t kind) {
    namespace sprites = atoms::dialog_sprites;
    MoveSprite(Scene(), sprites::AniCoDialog, kDialogX, kDialogY, kSend);
    if (kind == kDialogYesNo) {
        MoveSprite(Scene(), sprites::BtnCoYes, kDialogX, kDialogY, kSend);
        MoveSprite(Scene(), sprites::BtnCoNo, kDialogX, kDialogY, kSend);
    } else if (kind == kDialogOk) {
        MoveSprite(Scene(), sprites::BtnCoOk, kDialogX, kDialogY, kSend);
    }
    MoveSprite(Scene(), sprites::TxtCoDialog, kDialogTextX, kDialogTextY, kSend);
}

}  // namespace wm
