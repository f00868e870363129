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

    uint16_t backButton_ = 0;
    uint16_t printButton_ = 0;
    uint16_t replyButton_ = 0;
    uint16_t helpButton_ = 0;
    uint16_t picturesButton_ = 0;
    uint16_t textButton_ = 0;
    uint16_t toName_ = 0;
    uint16_t subjectName_ = 0;
    uint16_t fromName_ = 0;
    uint16_t bodySprite_ = 0;
    uint16_t printing_ = 0;
    std::unique_ptr<RichTextView> body_;
};

}  // namespace wm

#endif
