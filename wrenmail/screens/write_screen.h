// The write screen (scene ScWrWrite): a To field, a Subject field and the message body, saved
// into the OutBox to be sent at the next update, printed, or left without saving. Stamps come from
// the stamp panel; names for To from the address picker.
#ifndef WRENMAIL_SCREENS_WRITE_SCREEN_H
#define WRENMAIL_SCREENS_WRITE_SCREEN_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "screens/screen_base.h"

namespace wm {

class RichTextView;
class StampPanel;
class PMAddressPicker;

// Room of the texts a saved message is built from, the terminating NUL included.
inline constexpr std::size_t kLetterFieldSize = 128;

// The first lines of a reply's body: a rule of hyphens, then who wrote the letter and when.
std::string ReplyQuoteHeader(const char* date, const char* from);
// "re: " and the subject answered, cut to fit the subject's room.
std::string ReplySubject(const char* subject);
// The text cut to fit a field of kLetterFieldSize bytes; null reads as empty.
std::string FitLetterField(const char* text);

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

    RichTextView* Editor() const { return editor_.get(); }
    StampPanel* Panel() const { return panel_.get(); }
    PMAddressPicker* Picker() const { return picker_.get(); }

private:
    bool OnDialogButton(uint16_t sprite);
    bool OnScreenButton(uint16_t sprite);
    void OnEditKey(uint16_t field, uint16_t key);
    void PrepareReply();
    // True when the letter passed the checks and the saved notice is due.
    bool ValidateAndSave();
    void SaveLetter(const std::string& to);
    void BuildPrintCopy();
    void SetDisplayMode(uint8_t mode);
    void ToggleStampPanel();
    void OpenPicker();
    void ClosePicker();
    // Closes the picker on a click elsewhere or a write notice.
    void KeepPicker(const EDict* record);
    // Takes the picker's choice into To.
    void TakePickerResult(const EDict* record);

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
    uint16_t printing_ = 0;
    uint16_t bodySprite_ = 0;
    std::unique_ptr<RichTextView> editor_;
    std::unique_ptr<PMAddressPicker> picker_;
    std::unique_ptr<StampPanel> panel_;
};

}  // namespace wm

#endif
