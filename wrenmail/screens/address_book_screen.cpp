#include "screens/address_book_screen.h"

#include <cstring>

#include "controls/control_atoms.h"
#include "controls/list_box.h"
#include "hxmsg.h"
#include "messaging/data_dict_reader.h"
#include "messaging/dict_object.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/common_dialog.h"
#include "state/screen_handover.h"
#include "state/user_identity.h"
#include "store/address_book.h"
#include "store/mail_name.h"
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
// The list's scroll bar: drawn arrows, kept apart, on layer 10.
constexpr bool kArrowsApart = true;
constexpr int32_t kListDepth = 10;
// Names and kite IDs are read into buffers of this size.
constexpr std::size_t kFieldSize = 32;

constexpr const char* kEmptyFieldText = "Please make sure you have entered a name and kite ID.";
constexpr const char* kIllegalNameText = "A name or kite ID can only have letters and numbers.";

uint8_t ColourByte(DataDictReader& look, uint16_t key, int32_t element) {
    return static_cast<uint8_t>(look.GetElementInt(key, element));
}

// The field's text cut to what the buffer holds.
void ReadField(uint16_t scene, uint16_t field, char (&out)[kFieldSize]) {
    const char* text = GetEditText(scene, field);
    std::strncpy(out, text != nullptr ? text : "", kFieldSize - 1);
    out[kFieldSize - 1] = '\0';
}

const char* AtomText(uint16_t atom) {
    const char* text = atom != 0 ? DaNameGetString(atom) : nullptr;
    return text != nullptr ? text : "";
}

}  // namespace

AddressBookScreen::AddressBookScreen() {
    SetScene(atoms::ports::ScAbAddress);
    AddDialogButtons();
}

AddressBookScreen::~AddressBookScreen() = default;

void AddressBookScreen::InitNames() {
    done_button_ = FetchAtom("BtnAbDone");
    help_button_ = FetchAtom("BtnAbHelp");
    add_button_ = FetchAtom("BtnAbAdd");
    delete_button_ = FetchAtom("BtnAbDelete");
    name_field_ = FetchAtom("EdtAbName");
    id_field_ = FetchAtom("EdtAbEmail");
    empty_field_ = FetchAtom("EmptyField");
    illegal_name_ = FetchAtom("IllegalName");
    SetHelpSound(FetchAtom("SndAbHelp"));
}

void AddressBookScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_AddressBook);
    ShowSpriteAt(Scene(), add_button_, kButtonX, kAddY, 0);
    ShowSpriteAt(Scene(), delete_button_, kButtonX, kDeleteY, 0);
    ShowSpriteAt(Scene(), help_button_, kButtonX, kHelpY, 0);
    ShowSpriteAt(Scene(), done_button_, kButtonX, kDoneY, 0);
    book_ = std::make_unique<DictObject>();
    CreateList();
    LoadAddressBook(Identity().GetKiteId(), *book_);
    FillList();
    for (uint16_t button : {help_button_, done_button_, add_button_, delete_button_}) {
        AddButton(button, true);
    }
    if (PMScreenBase* caller = Handover().address_book_caller) {
        caller->ShowCover();
    }
}

void AddressBookScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_AddressBook);
    if (book_) {
        SaveAddressBook(Identity().GetKiteId(), *book_);
        book_.reset();
    }
    list_.reset();
    if (PMScreenBase* caller = Handover().address_book_caller) {
        caller->HideCover();
        Handover().address_book_caller = nullptr;
    }
}

bool AddressBookScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    const uint16_t type = EDictGetType(record);
    if (HandleEnterLeaveClick(record)) {
        return true;
    }
    if (type == code::kEditKey) {
        OnEditKey(EDictGetShort(record, atoms::NAME), EDictGetShort(record, atoms::KEY));
    } else if (type == atoms::actions::aPMListBoxAddSelectedItem) {
        ShowEntry(EDictGetLong(record, atoms::controls::ITEM));
    } else if (type == atoms::actions::aPMListBoxRemoveSelectedItem) {
        SetFields("", "");
    }
    return true;
}

void AddressBookScreen::CreateList() {
    DataDictReader look;
    look.SetName("DctAbAddressList");
    look.Bind();
    const auto number = [&look](const char* key) { return look.GetLong(FetchAtom(key), DataDictReader::kPlain); };
    const ListBoxGeometry geometry{number("X"),
                                   number("Y"),
                                   number("Width"),
                                   number("Height"),
                                   number("ScrollBarWidth"),
                                   false,
                                   atoms::ports::ScAbAddress,
                                   atoms::ports::AddressPort,
                                   0,
                                   0,
                                   kArrowsApart,
                                   kListDepth};
    list_ = std::make_unique<PMListBox>(geometry);
    list_->SetFont(look.GetText(FetchAtom("Font"), DataDictReader::kPlain),
                   static_cast<uint32_t>(number("FontSize")));
    const uint16_t background = FetchAtom("BGColor");
    list_->SetBackground(ColourByte(look, background, 0), ColourByte(look, background, 1),
                         ColourByte(look, background, 2));
    const uint16_t selection = FetchAtom("ListSelectColor");
    list_->SetSelectionColour(ColourByte(look, selection, 0), ColourByte(look, selection, 1),
                              ColourByte(look, selection, 2));
    list_->Show();
}

void AddressBookScreen::FillList() {
    for (const AddressBookName& name : SortedNames(*book_)) {
        list_->AddItem(name.text, name.atom);
    }
    list_->Show();
}

void AddressBookScreen::ShowEntry(int32_t index) {
    if (index < 0 || !list_ || !book_) {
        SetFields("", "");
        return;
    }
    const ItemView item = list_->ItemAt(static_cast<uint32_t>(index));
    if (item.text == nullptr) {
        return;
    }
    const uint16_t name = static_cast<uint16_t>(item.data);
    SetFields(AtomText(name), AtomText(book_->GetShort(name)));
}

void AddressBookScreen::SetFields(const char* name, const char* kiteId) {
    SetSpriteText(Scene(), name_field_, name, kSend);
    SetSpriteText(Scene(), id_field_, kiteId, kSend);
}

void AddressBookScreen::Add() {
    char name[kFieldSize];
    char kiteId[kFieldSize];
    ReadField(Scene(), name_field_, name);
    ReadField(Scene(), id_field_, kiteId);
    if (name[0] == '\0' || kiteId[0] == '\0') {
        ShowDialog(kDialogOk, empty_field_, kEmptyFieldText);
        return;
    }
    if (!IsValidMailName(name) || !IsValidMailName(kiteId)) {
        ShowDialog(kDialogOk, illegal_name_, kIllegalNameText);
        return;
    }
    const uint16_t key = FetchAtom(name);
    book_->PutShort(key, FetchAtom(kiteId));
    // A new name needs its place in the sorted list; a known one only changed its kite ID.
    if (list_->FindItem(key) == nullptr) {
        list_->RemoveAll();
        FillList();
    }
    const int32_t selected = list_->SelectedIndexAt(0);
    if (selected >= 0) {
        list_->Deselect(static_cast<uint32_t>(selected));
    }
    SetFields("", "");
}

void AddressBookScreen::Delete() {
    const int32_t selected = list_->SelectedIndexAt(0);
    if (selected < 0) {
        return;
    }
    const uint16_t key = static_cast<uint16_t>(list_->ItemAt(static_cast<uint32_t>(selected)).data);
    list_->Deselect(static_cast<uint32_t>(selected));
    list_->RemoveItem(static_cast<uint32_t>(selected));
    book_->Remove(key);
    SetFields("", "");
}

void AddressBookScreen::OnEditKey(uint16_t field, uint16_t key) {
    if (field != name_field_ && field != id_field_) {
        return;
    }
    if (key == atoms::TAB) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), field == name_field_ ? id_field_ : name_field_, true, 0);
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
    } else if (sprite == add_button_) {
        Add();
    } else if (sprite == delete_button_) {
        Delete();
    } else if (sprite == done_button_) {
        // The host closes the scene; Leave follows from it.
        PostCloseScene(Scene(), 0);
    } else if (sprite == help_button_) {
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
    SetSpriteVisible(Scene(), name_field_, visible, kSend);
    SetSpriteVisible(Scene(), id_field_, visible, kSend);
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
