#include "screens/read_screen.h"

#include "controls/rich_text_view.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/common_dialog.h"
#include "state/screen_handover.h"
#include "screens/screen_registry.h"
#include "state/user_identity.h"
#include "store/address_book.h"
#include "store/message_body.h"
#include "clients/mail_requests.h"
#include "wrenmail.h"

namespace wm {
namespace {

constexpr const char* kPrintingText = "Printing...";
constexpr uint8_t kGraphicMode = 1;
constexpr uint8_t kTextMode = 0;
// Room for a shown address (20 characters) or a book name, with the terminator.
constexpr std::size_t kShownSize = 64;

bool Empty(const char* text) {
    return text == nullptr || text[0] == '\0';
}

// An address as shown: normalised, or the address book's name for it.
void SetShownAddress(uint16_t scene, uint16_t sprite, const char* address) {
    char shown[kShownSize];
    ShownAddress(Identity().GetKiteId(), address, shown, sizeof shown);
    SetSpriteText(scene, sprite, shown, kSend);
}

}  // namespace

ReadScreen::ReadScreen() {
    SetScene(atoms::ports::ScRdRead);
    AddDialogButtons();
}

ReadScreen::~ReadScreen() = default;

void ReadScreen::InitNames() {
    back_button_ = FetchAtom("BtnRdBack");
    print_button_ = FetchAtom("BtnRdPrint");
    reply_button_ = FetchAtom("BtnRdReply");
    help_button_ = FetchAtom("BtnRdHelp");
    pictures_button_ = FetchAtom("BtnRdPictures");
    text_button_ = FetchAtom("BtnRdText");
    to_name_ = FetchAtom("TxtRdToName");
    subject_name_ = FetchAtom("TxtRdSubjectName");
    from_name_ = FetchAtom("TxtRdFromName");
    body_sprite_ = FetchAtom("PvtRdMessage");
    printing_ = FetchAtom("Printing");
    SetHelpSound(FetchAtom("SndRdHelp"));
}

void ReadScreen::Enter() {
    HxPortAttach(atoms::KeyboardPort, &PM_ReadMessage);
    ShowMailboxName();
    // The body view's scroll controls.
    for (uint16_t sprite : {atoms::richview::BtnWrEditorUp, atoms::richview::BtnWrEditorDown,
                            FetchAtom("AniWrEditorBar")}) {
        ShowSprite(Scene(), sprite, 0);
    }
    body_ = std::make_unique<RichTextView>(Scene(), body_sprite_);
    body_->SetReadOnly(true);
    FillFields();
    for (uint16_t button : {help_button_, print_button_, back_button_, pictures_button_, text_button_, reply_button_}) {
        AddButton(button, true);
    }
    // A long subject stays inside its line.
    EDict constrain;
    EDictClear(&constrain);
    EDictSetType(&constrain, code::kSet);
    EDictPutShort(&constrain, atoms::NAME, subject_name_);
    EDictPutBool(&constrain, atoms::CONSTRAINED, true);
    Deliver(Scene(), &constrain, kSend);
    // The screen opens in graphic mode, which the Pictures button names.
    SetSpriteVisible(Scene(), text_button_, false, kSend);
    Handover().display_mode = kGraphicMode;
}

void ReadScreen::Leave() {
    HxPortDetach(atoms::KeyboardPort, &PM_ReadMessage);
    body_.reset();
}

void ReadScreen::FillFields() {
    const uint32_t message = Handover().current_message;
    FillFrom(message);
    FillTo(message);
    if (const char* subject = MailGetText(message, atoms::mail::Subject); subject != nullptr) {
        SetSpriteText(Scene(), subject_name_, subject, kSend);
    }
    FillBody(message);
}

void ReadScreen::FillFrom(uint32_t message) {
    const char* from = MailGetText(message, atoms::mail::From);
    if (from == nullptr) {
        SetSpriteText(Scene(), from_name_, "", kSend);
        return;
    }
    SetShownAddress(Scene(), from_name_, from);
}

// Without a recipient the letter is taken as the reader's own.
void ReadScreen::FillTo(uint32_t message) {
    const char* to = MailGetText(message, atoms::mail::To);
    if (!Empty(to)) {
        SetShownAddress(Scene(), to_name_, to);
    } else if (const char* kite = Identity().GetKiteId(); !Empty(kite)) {
        SetShownAddress(Scene(), to_name_, kite);
    } else if (const char* player = Identity().GetPlayerId(); !Empty(player)) {
        SetSpriteText(Scene(), to_name_, player, kSend);
    }
}

void ReadScreen::FillBody(uint32_t message) {
    uint8_t isRich = 0;
    const char* body = SelectMessageBody(message, &isRich);
    if (body == nullptr) {
        return;
    }
    if (isRich != 0) {
        body_->LoadTaggedBodyText(body);
    } else {
        body_->LoadPlainBodyText(body);
    }
}

bool ReadScreen::HandleMessage(EDict* record) {
    if (PMScreenBase::HandleMessage(record)) {
        return true;
    }
    if (body_ && body_->HandleMessage(record)) {
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
    } else if (sprite == back_button_) {
        // The message stays current until the main screen opens another.
        ShowScreen(atoms::ports::ScWnMain);
    } else if (sprite == reply_button_) {
        Reply();
    } else if (sprite == print_button_) {
        Print();
    } else if (sprite == help_button_) {
        PlayHelpSound();
    } else if (sprite == pictures_button_) {
        SetDisplayMode(kTextMode);
    } else if (sprite == text_button_) {
        SetDisplayMode(kGraphicMode);
    } else {
        return false;
    }
    return true;
}

// The reply goes to the sender as shown: a book name, which the write screen turns back into
// its kite ID when it saves.
void ReadScreen::Reply() {
    Handover().reply_pending = 1;
    SetReplyText(Handover().reply_address, GetSpriteText(Scene(), from_name_));
    SetReplyText(Handover().reply_subject, GetSpriteText(Scene(), subject_name_));
    ShowScreen(atoms::ports::ScWrWrite);
}

void ReadScreen::Print() {
    if (Handover().printing != 0) {
        return;
    }
    ShowDialog(kDialogNoButtons, printing_, kPrintingText);
    RequestScene(atoms::ports::ScPrPrint, 0);
    Handover().printing = 1;
}

// The visible mode button names the mode shown.
void ReadScreen::SetDisplayMode(uint8_t mode) {
    const bool graphic = mode == kGraphicMode;
    SetSpriteVisible(Scene(), pictures_button_, graphic, kSend);
    SetSpriteVisible(Scene(), text_button_, !graphic, kSend);
    if (body_) {
        if (graphic) {
            body_->SetGraphicMode();
        } else {
            body_->SetTextMode();
        }
    }
    Handover().display_mode = mode;
}

}  // namespace wm
