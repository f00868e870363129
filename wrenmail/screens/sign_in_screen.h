// The sign-in screen (scene ScCsSignIn): an opening animation and a splash on the first visit
// without a player, then the kite ID and password fields, help, sign-up, cancel back to the
// player's mailbox, and exit through a disconnect reminder.
#ifndef WRENMAIL_SCREENS_SIGN_IN_SCREEN_H
#define WRENMAIL_SCREENS_SIGN_IN_SCREEN_H

#include <cstdint>

#include "screens/screen_base.h"

namespace wm {

class SignInScreen : public PMScreenBase {
public:
    SignInScreen();
    ~SignInScreen() override;

    bool HandleMessage(EDict* record) override;
    void Enter() override;
    void Leave() override;
    void InitNames() override;
    bool OnButton(uint16_t sprite) override;

    virtual void OnValidated();
    virtual void OnValidationFailed(uint8_t success, int32_t status);
    virtual void ShowNoConnectDialog();
    virtual void ShowBadUserDialog();

    // Signs the entered kite ID in at the mail service (run on aValidateUser).
    void ValidateUser();

    bool OpeningPassed() const { return openingPassed_ != 0; }
    bool EntryShown() const { return entryShown_ != 0; }

private:
    void OnEditKey(uint16_t field, uint16_t key);
    void OnClick(uint16_t sprite);
    bool OnAction(uint16_t type);
    bool OnDialogButton(uint16_t sprite);
    bool OnScreenButton(uint16_t sprite);
    void OnEnterButton();
    void OnOpeningDone();
    void OnSplashDone();
    void ShowEntry();
    void SetFieldsVisible(bool visible, int32_t mode);

    uint16_t enterButton_ = 0;
    uint16_t helpButton_ = 0;
    uint16_t signUpButton_ = 0;
    uint16_t cancelButton_ = 0;
    uint16_t exitButton_ = 0;
    uint16_t nameField_ = 0;
    uint16_t passwordField_ = 0;
    uint16_t badEntry_ = 0;
    uint16_t badUser_ = 0;
    uint16_t connectFailed_ = 0;
    uint16_t checkingPassword_ = 0;
    uint16_t disconnectReminder_ = 0;
    uint16_t opening_ = 0;
    uint16_t splash_ = 0;
    uint16_t showDisconnectReminder_ = 0;
    uint16_t showNoConnectDialog_ = 0;
    uint16_t showBadUserDialog_ = 0;
    uint16_t openingDone_ = 0;
    uint16_t splashDone_ = 0;
    uint8_t openingPassed_ = 0;
    uint8_t entryShown_ = 0;
};

}  // namespace wm

#endif
