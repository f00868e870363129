// The one common dialog of the module, shared by every screen: a backdrop, a text and up to two
// buttons among the common sprites that every scene holds. A screen learns the answer from a
// click on a dialog button and tells which question it answers by the current dialog name.
#ifndef WRENMAIL_SCREENS_COMMON_DIALOG_H
#define WRENMAIL_SCREENS_COMMON_DIALOG_H

#include <cstdint>

namespace wm {

struct CommonDialogState {
    uint16_t current = 0;  // the last dialog put up; kept after it closes
    bool up = false;
};

CommonDialogState& CommonDialog();

// Texts that more than one screen shows.
inline constexpr const char* kConfirmExitText = "Are you sure you want to exit Wrenmail?";
inline constexpr const char* kDisconnectReminderText =
    "Please check your Internet connection and disconnect if necessary.";

// Layers of the dialog sprites: smaller is nearer.
inline constexpr int32_t kDialogBackdropZ = 2;
inline constexpr int32_t kDialogFrontZ = 1;

// Puts the dialog's sprites up on the scene and records it as the current one. The cover is the
// screen's business and goes up first.
void PutDialogUp(uint16_t scene, int32_t kind, uint16_t dialog, const char* text);
// Takes every dialog sprite down, whatever kind was up.
void TakeDialogDown(uint16_t scene);

}  // namespace wm

#endif
