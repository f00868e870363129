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

    uint16_t done_button_ = 0;
    uint16_t back_button_ = 0;
    uint16_t print_button_ = 0;
    uint16_t help_button_ = 0;
    uint16_t pictures_button_ = 0;
    uint16_t text_button_ = 0;
    uint16_t address_button_ = 0;
    uint16_t stamps_button_ = 0;
    uint16_t to_field_ = 0;
    uint16_t subject_field_ = 0;
    uint16_t need_address_ = 0;
    uint16_t confirm_cancel_ = 0;
    uint16_t notify_save_ = 0;
    uint16_t illegal_name_ = 0;
    uint16_t printing_ = 0;
    uint16_t body_sprite_ = 0;
    std::unique_ptr<RichTextView> editor_;
    std::unique_ptr<PMAddressPicker> picker_;
    std::unique_ptr<StampPanel> panel_;
};

}  // namespace wm

#endif
