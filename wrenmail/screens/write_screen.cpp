#include "screens/write_screen.h"

#include <cstdio>
#include <cstring>

#include "controls/control_atoms.h"
#include "controls/rich_text_view.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/address_picker.h"
#include "screens/stamp_panel.h"
#include "screens/common_dialog.h"
#include "state/screen_handover.h"
#include "screens/screen_registry.h"
#include "state/user_identity.h"
#include "store/address_book.h"
#include "store/mail_folder.h"
#include "store/mail_name.h"
#include "store/message_body.h"
#include "store/message_file.h"
#include "clients/regional_requests.h"
#include "clients/mail_object.h"
#include "clients/mail_requests.h"
#include "wrenmail.h"

namespace wm {
namespace {

constexpr const char* kConfirmCancelText = "Are you sure you want to leave without saving this message?";
constexpr const char* kNotifySaveText =
    "Your message has been saved.  It will be sent when you click the 'Get/Send' button.";
constexpr const char* kNeedAddressText =
    "You need to put a name in the 'TO' box before you can send this message.";
constexpr const char* kIllegalNameText =
    "That kite ID contains characters other than letters and numbers.  Please try again.";
constexpr const char* kPrintingText = "Printing...";
constexpr const char* kQuoteHeaderFormat = "\n-------------------\nOn %s %s wrote:\n";
constexpr int32_t kReplyDateSize = 32;
// The body's focus waits for the Subject field to let go of it.
constexpr int32_t kBodyFocusDelay = 50;
constexpr uint8_t kGraphicMode = 1;
constexpr uint8_t kTextMode = 0;

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// The address to send to: the kite ID the book keeps under the name, else the text itself.
std::string AddressFor(const char* kiteId, const std::string& to) {
    const uint16_t address = AddressForName(kiteId, to.c_str());
    if (address != 0) {
        if (const char* text = DaNameGetString(address); text != nullptr) {
            return text;
        }
    }
    return to;
}

}  // namespace

std::string FitLetterField(const char* text) {
    return std::string(OrEmpty(text), strnlen(OrEmpty(text), kLetterFieldSize - 1));
}

std::string ReplySubject(const char* subject) {
    return FitLetterField((std::string("re: ") + OrEmpty(subject)).c_str());
}

std::string ReplyQuoteHeader(const char* date, const char* from) {
    const int length = std::snprintf(nullptr, 0, kQuoteHeaderFormat, OrEmpty(date), OrEmpty(from));
    std::string header(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(header.data(), header.size(), kQuoteHeaderFormat, OrEmpty(date), OrEmpty(from));
    header.pop_back();
    return header;
}

WriteScreen::WriteScreen() {
    SetScene(atoms::ports::ScWrWrite);
    Handover().display_mode = kGraphicMode;
    AddDialogButtons();
}

WriteScreen::~WriteScreen() = default;

void WriteScreen::InitNames() {
    done_button_ = FetchAtom("BtnWrDone");
    back_button_ = FetchAtom("BtnWrBack");
    print_button_ = FetchAtom("BtnWrPrint");
    help_button_ = FetchAtom("BtnWrHelp");
    pictures_button_ = FetchAtom("BtnWrPictures");
    text_button_ = FetchAtom("BtnWrText");
    address_button_ = FetchAtom("BtnWrAddress");
    stamps_button_ = FetchAtom("BtnWrStamps");
    to_field_ = FetchAtom("EdtWrTo");
    subject_field_ = FetchAtom("EdtWrSubject");
    need_address_ = FetchAtom("NeedAddress");
    confirm_cancel_ = FetchAtom("ConfirmCancel");
    notify_save_ = FetchAtom("NotifySave");
    illegal_name_ = FetchAtom("IllegalName");
    printing_ = FetchAtom("Printing");
    body_sprite_ = FetchAtom("PvtWrMessage");
    SetHelpSound(FetchAtom("SndWrHelp"));
}

void WriteScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_WriteMessage);
    HxPortAttach(atoms::TimerPortSeconds, &PM_WriteMessage);
    for (uint16_t button : {address_button_, print_button_, back_button_, done_button_, help_button_, pictures_button_,
                            text_button_, stamps_button_}) {
        ShowSprite(Scene(), button, kSend);
    }
    // The editor starts in graphic mode, which the Pictures button names.
    SetSpriteVisible(Scene(), text_button_, false, kSend);
    ShowSprite(Scene(), body_sprite_, kSend);
    ShowMailboxName();
    editor_ = std::make_unique<RichTextView>(Scene(), body_sprite_);
    editor_->SetGraphicMode();
    for (uint16_t button : {back_button_, help_button_, done_button_, print_button_, pictures_button_, text_button_,
                            address_button_, stamps_button_}) {
        AddButton(button, true);
    }
    panel_ = std::make_unique<StampPanel>(Scene(), editor_.get());
    if (Handover().reply_pending == 0) {
        SetSpriteFocus(Scene(), to_field_, true, 0);
    } else {
        PrepareReply();
        Handover().reply_pending = 0;
        editor_->Focus();
        SetSpriteFocus(Scene(), 0, true, 0);
    }
    // The message has served the reply: its reference is dropped, the object is not freed here.
    Handover().current_message = 0;
}

void WriteScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_WriteMessage);
    HxPortDetach(atoms::TimerPortSeconds, &PM_WriteMessage);
    ClosePicker();
    panel_.reset();
    editor_.reset();
    FreeCurrentMessage();
}

void WriteScreen::PrepareReply() {
    const std::string subject = ReplySubject(Handover().reply_subject);
    SetSpriteText(Scene(), to_field_, Handover().reply_address, kSend);
    SetSpriteText(Scene(), subject_field_, subject.c_str(), kSend);
    const uint32_t message = Handover().current_message;
    char date[kReplyDateSize] = {};
    RegionalFormatDate(static_cast<uint32_t>(MailGetLong(message, atoms::mail::Date)), date, kReplyDateSize, true);
    date[kReplyDateSize - 1] = '\0';
    const std::string header = ReplyQuoteHeader(date, MailGetText(message, atoms::mail::From));
    uint8_t isRich = 0;
    const char* body = SelectMessageBody(message, &isRich);
    if (body == nullptr) {
        return;
    }
    const std::string text = header + body;
    if (isRich != 0) {
        editor_->LoadTaggedBodyText(text.c_str());
    } else {
        editor_->LoadPlainBodyText(text.c_str());
    }
}

bool WriteScreen::HandleMessage(EDict* record) {
    bool taken = PMScreenBase::HandleMessage(record);
    if (!taken && editor_) {
        taken = editor_->HandleMessage(record);
    }
    if (!taken && panel_) {
        taken = panel_->HandleMessage(record);
    }
    KeepPicker(record);
    if (!taken && !HandleEnterLeaveClick(record) && EDictGetType(record) == code::kEditKey) {
        OnEditKey(EDictGetShort(record, atoms::NAME), EDictGetShort(record, atoms::KEY));
    }
    TakePickerResult(record);
    return true;
}

void WriteScreen::KeepPicker(const EDict* record) {
    if (!picker_) {
        return;
    }
    const uint16_t type = EDictGetType(record);
    if (type == code::kWriteNotice ||
        (type == code::kClick && !picker_->OwnsSprite(EDictGetShort(record, atoms::NAME)))) {
        ClosePicker();
    }
}

void WriteScreen::TakePickerResult(const EDict* record) {
    const uint16_t type = EDictGetType(record);
    if (!picker_ || EDictGetPointer(record, atoms::controls::POINTER) != picker_.get()) {
        return;
    }
    if (type == atoms::actions::aPMListBoxAddSelectedItem) {
        const std::string name = OrEmpty(EDictGetText(record, atoms::STRING));
        ClosePicker();
        SetSpriteText(Scene(), to_field_, name.c_str(), kSend);
    } else if (type == atoms::actions::aPMListBoxRemoveSelectedItem) {
        ClosePicker();
    }
}

void WriteScreen::OnEditKey(uint16_t field, uint16_t key) {
    if (key == atoms::FOCUS) {
        if (editor_) {
            editor_->Unfocus();
        }
        return;
    }
    if (key != atoms::TAB) {
        return;
    }
    if (field == to_field_) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), subject_field_, true, 0);
    } else if (field == subject_field_) {
        CleanEditText(Scene(), field);
        SetSpriteFocus(Scene(), 0, true, kBodyFocusDelay);
        if (editor_) {
            editor_->Focus();
        }
    }
}

bool WriteScreen::OnButton(uint16_t sprite) {
    return CommonDialog().up ? OnDialogButton(sprite) : OnScreenButton(sprite);
}

bool WriteScreen::OnDialogButton(uint16_t sprite) {
    namespace sprites = atoms::dialog_sprites;
    const uint16_t dialog = CommonDialog().current;
    if (sprite == sprites::BtnCoYes) {
        if (dialog == confirm_cancel_) {
            ShowScreen(atoms::ports::ScWnMain);
        }
    } else if (sprite == sprites::BtnCoOk) {
        // After the address notices the user stays to correct the To field.
        if (dialog == notify_save_) {
            ShowScreen(atoms::ports::ScWnMain);
        }
    } else if (sprite != sprites::BtnCoNo) {
        return false;
    }
    CloseDialog(sprite);
    return true;
}

bool WriteScreen::OnScreenButton(uint16_t sprite) {
    if (sprite == back_button_) {
        ShowDialog(kDialogYesNo, confirm_cancel_, kConfirmCancelText);
    } else if (sprite == done_button_) {
        if (ValidateAndSave()) {
            ShowDialog(kDialogOk, notify_save_, kNotifySaveText);
        }
    } else if (sprite == print_button_) {
        if (Handover().printing == 0) {
            BuildPrintCopy();
            Handover().printing = 1;
        }
    } else if (sprite == help_button_) {
        PlayHelpSound();
    } else if (sprite == pictures_button_) {
        SetDisplayMode(kTextMode);
    } else if (sprite == text_button_) {
        SetDisplayMode(kGraphicMode);
    } else if (sprite == stamps_button_) {
        ToggleStampPanel();
    } else if (sprite == address_button_ && !picker_) {
        OpenPicker();
    } else {
        return false;
    }
    return true;
}

void WriteScreen::SetDisplayMode(uint8_t mode) {
    const bool graphic = mode == kGraphicMode;
    SetSpriteVisible(Scene(), pictures_button_, graphic, kSend);
    SetSpriteVisible(Scene(), text_button_, !graphic, kSend);
    Handover().display_mode = mode;
    if (!editor_) {
        return;
    }
    if (graphic) {
        editor_->SetGraphicMode();
    } else {
        editor_->SetTextMode();
    }
}

void WriteScreen::ToggleStampPanel() {
    if (!panel_) {
        return;
    }
    const bool opening = !panel_->IsOpen();
    SetSpriteVisible(Scene(), to_field_, !opening, kSend);
    SetSpriteVisible(Scene(), subject_field_, !opening, kSend);
    if (opening) {
        panel_->Open();
        if (editor_) {
            editor_->Focus();
        }
    } else {
        panel_->Close();
    }
}

bool WriteScreen::ValidateAndSave() {
    const std::string to = OrEmpty(GetEditText(Scene(), to_field_));
    if (to.empty()) {
        ShowDialog(kDialogOk, need_address_, kNeedAddressText);
        return false;
    }
    if (!IsValidMailName(to.c_str())) {
        ShowDialog(kDialogOk, illegal_name_, kIllegalNameText);
        return false;
    }
    if (Identity().GetKiteId()[0] != '\0') {
        SaveLetter(to);
    }
    return true;
}

void WriteScreen::SaveLetter(const std::string& to) {
    const char* kite = Identity().GetKiteId();
    const std::string from = FitLetterField(kite);
    const std::string subject = FitLetterField(GetEditText(Scene(), subject_field_));
    const std::string address = FitLetterField(AddressFor(kite, to).c_str());
    // Each production replaces the editor's last one: keep copies.
    const std::string plain = editor_ ? OrEmpty(editor_->ProducePlainBodyText()) : "";
    const std::string tagged = editor_ ? OrEmpty(editor_->ProduceTaggedBodyText()) : "";
    const MailObject letter(MailNewMessage(nullptr));
    const uint32_t message = letter.Get();
    // The parts, once added, belong to the message.
    const uint32_t plainPart = MailNewPart();
    const uint32_t richPart = MailNewPart();
    MailSetText(message, atoms::mail::To, address.c_str());
    MailSetText(message, atoms::mail::From, from.c_str());
    MailSetText(message, atoms::mail::Subject, subject.c_str());
    MailSetLong(message, atoms::mail::Date, static_cast<int32_t>(RegionalNow()));
    MailSetText(message, atoms::mail::Body, plain.c_str());
    MailSetText(plainPart, atoms::mail::ContentType, kPlainContentType);
    MailSetText(plainPart, atoms::mail::Body, plain.c_str());
    MailSetText(richPart, atoms::mail::ContentType, kRichContentType);
    MailSetText(richPart, atoms::mail::Body, tagged.c_str());
    MailAddPart(message, plainPart);
    MailAddPart(message, richPart);
    OpenMailFolder(from.c_str(), OwnerKiteAccount, FolderOutBox);
    SaveMessageToFolder(message);
}

void WriteScreen::BuildPrintCopy() {
    FreeCurrentMessage();
    const uint32_t message = MailNewMessage(nullptr);
    Handover().current_message = message;
    const std::string to = OrEmpty(GetEditText(Scene(), to_field_));
    const std::string subject = OrEmpty(GetEditText(Scene(), subject_field_));
    // The identity always holds a kite ID text, if only an empty one, and that is the From.
    MailSetText(message, atoms::mail::From, Identity().GetKiteId());
    MailSetText(message, atoms::mail::To, to.c_str());
    MailSetText(message, atoms::mail::Subject, subject.c_str());
    MailSetLong(message, atoms::mail::Date, static_cast<int32_t>(RegionalNow()));
    const uint32_t part = MailNewPart();
    MailSetText(part, atoms::mail::ContentType, kRichContentType);
    MailSetText(part, atoms::mail::Body, editor_ ? OrEmpty(editor_->ProduceTaggedBodyText()) : "");
    MailAddPart(message, part);
    ShowDialog(kDialogNoButtons, printing_, kPrintingText);
    RequestScene(atoms::ports::ScPrPrint, 0);
}

void WriteScreen::OpenPicker() {
    picker_ = std::make_unique<PMAddressPicker>(atoms::ports::ScWrWrite, atoms::ports::WritePort);
    picker_->Fill(Identity().GetKiteId());
}

void WriteScreen::ClosePicker() {
    picker_.reset();
}

void WriteScreen::ShowDialog(int32_t kind, uint16_t dialog, const char* text) {
    SetSpriteVisible(Scene(), subject_field_, false, kSend);
    PMScreenBase::ShowDialog(kind, dialog, text);
}

void WriteScreen::CloseDialog(uint16_t button) {
    if (!panel_ || !panel_->IsOpen()) {
        SetSpriteVisible(Scene(), subject_field_, true, kSend);
    }
    PMScreenBase::CloseDialog(button);
}

}  // namespace wm
