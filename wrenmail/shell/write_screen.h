// The write screen (scene ScWrWrite): a To field, a Subject field and the message body, saved
// into the OutBox to be sent at the next update, printed, or left without saving.
#ifndef WRENMAIL_SHELL_WRITE_SCREEN_H
#define WRENMAIL_SHELL_WRITE_SCREEN_H

#include <cstdint>

#include "shell/screen_base.h"

namespace wm {

class WriteScreen : public PMScreenBase {
public:
    WriteScreen();
    ~WriteScreen() override;

    bool HandleMessage(EDict* record) override;
    void Enter() override;
    void Leave() override;
    void InitNames() override;
    bool OnButton(uint16_t sprite) override;
    // The Subject field would show through the cover: it hides while a dialog is up.
    void ShowDialog(int32_t kind, uint16_t dialog, const char* text) override;
    void CloseDialog(uint16_t button) override;

private:
    bool OnDialogButton(uint16_t sprite);
    bool OnScreenButton(uint16_t sprite);
    void OnEditKey(uint16_t field, uint16_t key);

    uint16_t doneButton_ = 0;
    uint16_t backButton_ = 0;
    uint16_t printButton_ = 0;
    uint16_t helpButton_ = 0;
    uint16_t picturesButton_ = 0;
    uint16_t textButton_ = 0;
    uint16_t addressButton_ = 0;
    uint16_t stampsButton_ = 0;
    uint16_t toField_ = 0;
    uint16_t subjectField_ = 0;
    uint16_t needAddress_ = 0;
    uint16_t confirmCancel_ = 0;
    uint16_t notifySave_ = 0;
    uint16_t illegalName_ = 0;
    uint16_t bodySprite_ = 0;
};

}  // namespace wm

#endif
