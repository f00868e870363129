#include "screens/common_dialog.h"

#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/screen_base.h"

namespace wm {
namespace {

CommonDialogState g_dialog;

void ShowDialogSprite(uint16_t scene, uint16_t sprite, int32_t z) {
    ShowSprite(scene, sprite, kSend);
    SetSpriteVisible(scene, sprite, true, kSend);
    SetSpriteZ(scene, sprite, z, kSend);
}

void ShowDialogButton(uint16_t scene, uint16_t button) {
    ShowSpriteAt(scene, button, 0, 0, kSend);
    SetSpriteVisible(scene, button, true, kSend);
    SetSpriteZ(scene, button, kDialogFrontZ, kSend);
}

}  // namespace

CommonDialogState& CommonDialog() {
    return g_dialog;
}

void PutDialogUp(uint16_t scene, int32_t kind, uint16_t dialog, const char* text) {
    namespace sprites = atoms::dialog_sprites;
    g_dialog.current = dialog;
    g_dialog.up = true;
    ShowDialogSprite(scene, sprites::AniCoDialog, kDialogBackdropZ);
    if (kind == kDialogYesNo) {
        ShowDialogButton(scene, sprites::BtnCoYes);
        ShowDialogButton(scene, sprites::BtnCoNo);
    } else if (kind == kDialogOk) {
        ShowDialogButton(scene, sprites::BtnCoOk);
    }
    ShowDialogSprite(scene, sprites::TxtCoDialog, kDialogFrontZ);
    SetSpriteText(scene, sprites::TxtCoDialog, text, kSend);
}

void TakeDialogDown(uint16_t scene) {
    namespace sprites = atoms::dialog_sprites;
    g_dialog.up = false;
    for (uint16_t sprite : {sprites::AniCoDialog, sprites::BtnCoYes, sprites::BtnCoNo, sprites::BtnCoOk,
                            sprites::TxtCoDialog}) {
        HideSprite(scene, sprite, kSend);
    }
}

}  // namespace wm
