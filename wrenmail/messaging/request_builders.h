// The common requests to the host, each built in a fresh record. The last argument of the
// builders that take a mode delivers: kSend (-1) sends, any other value posts with that delay.
#ifndef WRENMAIL_MESSAGING_REQUEST_BUILDERS_H
#define WRENMAIL_MESSAGING_REQUEST_BUILDERS_H

#include <cstdint>

#include "edict.h"

namespace wm {

inline constexpr int32_t kSend = -1;

// Sends (mode kSend) or posts the record with the mode as delay.
void Deliver(uint16_t port, EDict* record, int32_t mode);

void PostAction(uint16_t port, uint16_t type, int32_t delay);
void RequestScene(uint16_t scene, int32_t delay);
void PostNewPrint(uint16_t port, int32_t delay);
void PostCloseScene(uint16_t scene, int32_t delay);

// The sprite's text as the host answers it; null when it does not answer.
const char* GetSpriteText(uint16_t port, uint16_t sprite);

void ShowSprite(uint16_t port, uint16_t sprite, int32_t mode);
void ShowSpriteAt(uint16_t port, uint16_t sprite, int32_t x, int32_t y, int32_t mode);
void MoveSprite(uint16_t port, uint16_t sprite, int32_t x, int32_t y, int32_t mode);
void SetSpriteZ(uint16_t port, uint16_t sprite, int32_t z, int32_t mode);
// Sprite 0 moves the focus without naming a sprite.
void SetSpriteFocus(uint16_t port, uint16_t sprite, bool focus, int32_t mode);
void SetSpriteText(uint16_t port, uint16_t sprite, const char* text, int32_t mode);
void SetSpriteVisible(uint16_t port, uint16_t sprite, bool visible, int32_t mode);
void HideSprite(uint16_t port, uint16_t sprite, int32_t mode);
void SetSpriteFX(uint16_t port, uint16_t sprite, uint16_t effect, int32_t mode);

// The edit field's text as the host answers it; null when it does not answer.
const char* GetEditText(uint16_t port, uint16_t edit);
// Strips tabs and line breaks from the edit field's text, in place on the host's side.
void CleanEditText(uint16_t port, uint16_t edit);

}  // namespace wm

#endif
