// The base of the five screens: one object per host scene, reached through the scene's port. It
// keeps the registered buttons and draws their looks, rotates the help sound, and puts the cover
// and the common dialog up and down on its scene.
#ifndef WRENMAIL_SCREENS_SCREEN_BASE_H
#define WRENMAIL_SCREENS_SCREEN_BASE_H

#include <array>
#include <cstdint>

#include "edict.h"
#include "messaging/intrusive_list.h"

namespace wm {

// One registered button: the port its looks are drawn on and whether it reacts.
class ButtonRecord {
public:
    virtual ~ButtonRecord() = default;

    ButtonRecord* next = nullptr;
    ButtonRecord* prev = nullptr;
    uint16_t port = 0;
    uint16_t sprite = 0;
    uint8_t enabled = 0;
};

// Common dialog kinds: a question with Yes and No, a notice with OK, a notice without buttons.
enum DialogKind : int32_t { kDialogYesNo = 0, kDialogOk = 1, kDialogNoButtons = 2 };

class PMScreenBase {
public:
    PMScreenBase();
    PMScreenBase(const PMScreenBase&) = delete;
    PMScreenBase& operator=(const PMScreenBase&) = delete;

    // The virtual operations, in the order every screen shares.
    virtual ~PMScreenBase();
    // Draws registered buttons pressed and released under the pointer; true when it did.
    virtual bool HandleMessage(EDict* record);
    virtual void Enter();
    virtual void Leave();
    virtual void InitNames();
    virtual void AddButton(uint16_t sprite, bool enabled);
    virtual bool SetButtonPressed(uint16_t sprite, bool pressed);
    virtual void SetButtonEnabled(uint16_t sprite, bool enabled);
    virtual void PlayHelpSound();
    // Effect 0 plays the default effect.
    virtual void PlaySpriteEffect(uint16_t sprite, uint16_t effect);
    virtual bool OnButton(uint16_t sprite);
    virtual void ShowCover();
    virtual void HideCover();
    virtual void ShowDialog(int32_t kind, uint16_t dialog, const char* text);
    // The button that closed the dialog is not used here; screens that override may.
    virtual void CloseDialog(uint16_t button);
    virtual void ExitApplication();

    uint16_t Scene() const { return scene_; }
    uint16_t HelpSound() const { return help_sound_; }
    int32_t HelpSoundIndex() const { return help_sound_index_; }
    const IntrusiveList<ButtonRecord>& Buttons() const { return buttons_; }

protected:
    // What every screen does with its scene's notices and clicks, after its controls had their
    // turn: 30032 enters, 30041 leaves, 30035 goes to OnButton. True when the record was one.
    bool HandleEnterLeaveClick(EDict* record);
    void SetScene(uint16_t scene) { scene_ = scene; }
    void SetHelpSound(uint16_t sound) { help_sound_ = sound; }
    uint16_t ConfirmExitDialog() const { return confirm_exit_; }
    // The dialog buttons every screen draws pressed and released like its own.
    void AddDialogButtons();
    // Shows whose mailbox is open: the kite ID, else the player ID.
    void ShowMailboxName();

private:
    // The newest record of the sprite, optionally only among enabled ones.
    ButtonRecord* FindButton(uint16_t sprite, bool enabledOnly);
    void DrawEnabled(ButtonRecord* button, bool enabled);

    uint16_t scene_ = 0;
    IntrusiveList<ButtonRecord> buttons_;
    int32_t help_sound_index_ = 0;
    uint16_t help_sound_ = 0;
    std::array<uint16_t, 3> play_effects_{};
    uint16_t play_ = 0;
    uint16_t confirm_exit_ = 0;
    uint16_t mailbox_name_ = 0;
};

}  // namespace wm

#endif
