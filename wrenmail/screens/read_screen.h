// The read screen (scene ScRdRead): shows the current message, with reply, print, the two display
// modes of its stamps, help and the way back to the mailbox.
#ifndef WRENMAIL_SCREENS_READ_SCREEN_H
#define WRENMAIL_SCREENS_READ_SCREEN_H

#include <cstdint>
#include <memory>

#include "screens/screen_base.h"

namespace wm {

class RichTextView;

class ReadScreen : public PMScreenBase {
public:
    ReadScreen();
    ~ReadScreen() override;

    bool HandleMessage(EDict* record) override;
    void Enter() override;
    void Leave() override;
    void InitNames() override;
    bool OnButton(uint16_t sprite) override;

    // The body view while the screen is up; null otherwise.
    RichTextView* Body() { return body_.get(); }

private:
    void FillFields();
    void FillFrom(uint32_t message);
    void FillTo(uint32_t message);
    void FillBody(uint32_t message);
    void Reply();
    void Print();
    void SetDisplayMode(uint8_t mode);

    uint16_t back_button_ = 0;
    uint16_t print_button_ = 0;
    uint16_t reply_button_ = 0;
    uint16_t help_button_ = 0;
    uint16_t pictures_button_ = 0;
    uint16_t text_button_ = 0;
    uint16_t to_name_ = 0;
    uint16_t subject_name_ = 0;
    uint16_t from_name_ = 0;
    uint16_t body_sprite_ = 0;
    uint16_t printing_ = 0;
    std::unique_ptr<RichTextView> body_;
};

}  // namespace wm

#endif
