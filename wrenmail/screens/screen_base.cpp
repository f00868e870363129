#include "screens/screen_base.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/common_dialog.h"
#include "clients/host_application.h"
#include "state/user_identity.h"

namespace wm {
namespace {

// The mailbox name waits for the scene's own sprites to settle.
constexpr int32_t kMailboxNameDelay = 20;

void SendToAll(uint16_t scene, uint16_t type) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    EDictPutBool(&record, atoms::layout::ALL, true);
    HxPortSend(scene, &record);
}

}  // namespace

PMScreenBase::PMScreenBase()
    : play_(FetchAtom("Play")),
      confirm_exit_(FetchAtom("ConfirmExit")),
      mailbox_name_(FetchAtom("TxtCoMailboxName")) {
    for (int i = 0; i < 3; ++i) {
        play_effects_[static_cast<std::size_t>(i)] = FetchAtomFormat("Play%d", i + 1);
    }
}

PMScreenBase::~PMScreenBase() {
    while (ButtonRecord* button = buttons_.Head()) {
        buttons_.Unlink(button);
        delete button;
    }
}

bool PMScreenBase::HandleMessage(EDict* record) {
    if (EDictGetType(record) != code::kCursor) {
        return false;
    }
    const uint16_t action = EDictGetShort(record, atoms::ACTION);
    const uint16_t sprite = EDictGetShort(record, atoms::NAME);
    if (EDictGetShort(record, atoms::CNAME) != atoms::CURSOR) {
        return false;
    }
    if (action == atoms::BEGIN) {
        return SetButtonPressed(sprite, true);
    }
    if (action == atoms::END) {
        return SetButtonPressed(sprite, false);
    }
    return false;
}

void PMScreenBase::Enter() {}

void PMScreenBase::Leave() {}

void PMScreenBase::InitNames() {}

void PMScreenBase::AddButton(uint16_t sprite, bool enabled) {
    auto* button = new ButtonRecord;
    button->port = scene_;
    button->sprite = sprite;
    button->enabled = 1;
    DrawEnabled(button, enabled);
    buttons_.Append(button);
}

bool PMScreenBase::SetButtonPressed(uint16_t sprite, bool pressed) {
    ButtonRecord* button = FindButton(sprite, true);
    if (button == nullptr) {
        return false;
    }
    SetSpriteFX(button->port, sprite, pressed ? atoms::buttons::Roll : atoms::buttons::Up, 0);
    return true;
}

void PMScreenBase::SetButtonEnabled(uint16_t sprite, bool enabled) {
    if (ButtonRecord* button = FindButton(sprite, false)) {
        DrawEnabled(button, enabled);
    }
}

void PMScreenBase::PlayHelpSound() {
    PlaySpriteEffect(help_sound_, play_effects_[static_cast<std::size_t>(help_sound_index_)]);
    help_sound_index_ = (help_sound_index_ + 1) % static_cast<int32_t>(play_effects_.size());
}

void PMScreenBase::PlaySpriteEffect(uint16_t sprite, uint16_t effect) {
    ShowSprite(scene_, sprite, kSend);
    SetSpriteFX(scene_, sprite, effect != 0 ? effect : play_, 0);
}

bool PMScreenBase::OnButton(uint16_t) {
    return false;
}

void PMScreenBase::ShowCover() {
    SendToAll(scene_, code::kBeforeCover);
    ShowSprite(scene_, atoms::dialog_sprites::SptCoCover, 0);
}

void PMScreenBase::HideCover() {
    SendToAll(scene_, code::kAfterCover);
    HideSprite(scene_, atoms::dialog_sprites::SptCoCover, 0);
}

void PMScreenBase::ShowDialog(int32_t kind, uint16_t dialog, const char* text) {
    ShowCover();
    PutDialogUp(scene_, kind, dialog, text);
}

void PMScreenBase::CloseDialog(uint16_t) {
    TakeDialogDown(scene_);
    HideCover();
}

void PMScreenBase::ExitApplication() {
    RequestApplicationEnd();
}

void PMScreenBase::AddDialogButtons() {
    AddButton(atoms::dialog_sprites::BtnCoYes, true);
    AddButton(atoms::dialog_sprites::BtnCoNo, true);
    AddButton(atoms::dialog_sprites::BtnCoOk, true);
}

void PMScreenBase::ShowMailboxName() {
    ShowSprite(scene_, mailbox_name_, 0);
    // The text is the identity's own copy, which outlives the post.
    SetSpriteText(scene_, mailbox_name_, MailboxOwnerName(), kMailboxNameDelay);
}

ButtonRecord* PMScreenBase::FindButton(uint16_t sprite, bool enabledOnly) {
    // Records are kept oldest first, so the walk from the tail meets a sprite's newest one first.
    for (ButtonRecord* button = buttons_.Tail(); button != nullptr; button = button->prev) {
        if (button->sprite == sprite && (!enabledOnly || button->enabled != 0)) {
            return button;
        }
    }
    return nullptr;
}

void PMScreenBase::DrawEnabled(ButtonRecord* button, bool enabled) {
    button->enabled = enabled ? 1 : 0;
    SetSpriteFX(button->port, button->sprite, enabled ? atoms::buttons::Up : atoms::buttons::Disabled, 0);
}

bool PMScreenBase::HandleEnterLeaveClick(EDict* record) {
    switch (EDictGetType(record)) {
        case code::kEntered:
            Enter();
            return true;
        case code::kLeft:
            Leave();
            return true;
        case code::kClick:
            OnButton(EDictGetShort(record, atoms::NAME));
            return true;
        default:
            return false;
    }
}

}  // namespace wm
