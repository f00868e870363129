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

    bool OpeningPassed() const { return opening_passed_ != 0; }
    bool EntryShown() const { return entry_shown_ != 0; }

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

    uint16_t enter_button_ = 0;
    uint16_t help_button_ = 0;
    uint16_t sign_up_button_ = 0;
    uint16_t cancel_button_ = 0;
    uint16_t exit_button_ = 0;
    uint16_t name_field_ = 0;
    uint16_t password_field_ = 0;
    uint16_t bad_entry_ = 0;
    uint16_t bad_user_ = 0;
    uint16_t connect_failed_ = 0;
    uint16_t checking_password_ = 0;
    uint16_t disconnect_reminder_ = 0;
    uint16_t opening_ = 0;
    uint16_t splash_ = 0;
    uint16_t show_disconnect_reminder_ = 0;
    uint16_t show_no_connect_dialog_ = 0;
    uint16_t show_bad_user_dialog_ = 0;
    uint16_t opening_done_ = 0;
    uint16_t splash_done_ = 0;
    uint8_t opening_passed_ = 0;
    uint8_t entry_shown_ = 0;
};

}  // namespace wm

#endif
