#include "messaging/request_builders.h"

#include <string>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

EDict NewRecord(uint16_t type) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    return record;
}

// Requests whose first key names the sprite or scene they are about.
EDict SpriteRecord(uint16_t type, uint16_t sprite) {
    EDict record = NewRecord(type);
    EDictPutShort(&record, atoms::NAME, sprite);
    return record;
}

}  // namespace

void Deliver(uint16_t port, EDict* record, int32_t mode) {
    if (mode == kSend) {
        HxPortSend(port, record);
    } else {
        HxPortPost(port, record, mode);
    }
}

void PostAction(uint16_t port, uint16_t type, int32_t delay) {
    EDict record = NewRecord(type);
    HxPortPost(port, &record, delay);
}

void RequestScene(uint16_t scene, int32_t delay) {
    EDict record = SpriteRecord(code::kStart, scene);
    HxPortPost(atoms::AppPort, &record, delay);
}

void PostNewPrint(uint16_t port, int32_t delay) {
    EDict record = NewRecord(code::kPrint);
    EDictPutBool(&record, atoms::messaging::NEWPRINT, true);
    EDictPutBool(&record, atoms::BESTFIT, true);
    HxPortPost(port, &record, delay);
}

void PostCloseScene(uint16_t scene, int32_t delay) {
    EDict record = SpriteRecord(code::kStop, scene);
    HxPortPost(atoms::AppPort, &record, delay);
}

const char* GetSpriteText(uint16_t port, uint16_t sprite) {
    EDict record = SpriteRecord(code::kGet, sprite);
    EDictPutText(&record, atoms::TEXT, nullptr);
    HxPortSend(port, &record);
    return EDictGetText(&record, atoms::TEXT);
}

void ShowSprite(uint16_t port, uint16_t sprite, int32_t mode) {
    EDict record = NewRecord(code::kStart);
    EDictPutShort(&record, atoms::SPRITENAME, sprite);
    Deliver(port, &record, mode);
}

void ShowSpriteAt(uint16_t port, uint16_t sprite, int32_t x, int32_t y, int32_t mode) {
    EDict record = NewRecord(code::kStart);
    EDictPutShort(&record, atoms::SPRITENAME, sprite);
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    Deliver(port, &record, mode);
}

void MoveSprite(uint16_t port, uint16_t sprite, int32_t x, int32_t y, int32_t mode) {
    EDict record = SpriteRecord(code::kMove, sprite);
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    Deliver(port, &record, mode);
}

void SetSpriteZ(uint16_t port, uint16_t sprite, int32_t z, int32_t mode) {
    EDict record = SpriteRecord(code::kSet, sprite);
    EDictPutLong(&record, atoms::Z, z);
    Deliver(port, &record, mode);
}

void SetSpriteFocus(uint16_t port, uint16_t sprite, bool focus, int32_t mode) {
    EDict record = NewRecord(code::kSet);
    if (sprite != 0) {
        EDictPutShort(&record, atoms::NAME, sprite);
    }
    EDictPutBool(&record, atoms::FOCUS, focus);
    Deliver(port, &record, mode);
}

void SetSpriteText(uint16_t port, uint16_t sprite, const char* text, int32_t mode) {
    EDict record = SpriteRecord(code::kSet, sprite);
    EDictPutText(&record, atoms::TEXT, text);
    Deliver(port, &record, mode);
}

void SetSpriteVisible(uint16_t port, uint16_t sprite, bool visible, int32_t mode) {
    EDict record = SpriteRecord(code::kSet, sprite);
    EDictPutBool(&record, atoms::VISIBLE, visible);
    Deliver(port, &record, mode);
}

void HideSprite(uint16_t port, uint16_t sprite, int32_t mode) {
    EDict record = SpriteRecord(code::kStop, sprite);
    Deliver(port, &record, mode);
}

void SetSpriteFX(uint16_t port, uint16_t sprite, uint16_t effect, int32_t mode) {
    EDict record = SpriteRecord(code::kSetEffect, sprite);
    EDictPutShort(&record, atoms::FX, effect);
    Deliver(port, &record, mode);
}

const char* GetEditText(uint16_t port, uint16_t edit) {
    EDict record = NewRecord(code::kEditText);
    EDictPutLong(&record, atoms::GET, 1);
    EDictPutShort(&record, atoms::NAME, edit);
    HxPortSend(port, &record);
    return EDictGetText(&record, atoms::TEXT);
}

void CleanEditText(uint16_t port, uint16_t edit) {
    const char* text = GetEditText(port, edit);
    std::string clean;
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        if (*c != '\t' && *c != '\n' && *c != '\r') {
            clean.push_back(*c);
        }
    }
    EDict record = SpriteRecord(code::kEditText, edit);
    EDictPutText(&record, atoms::TEXT, clean.c_str());
    HxPortSend(port, &record);
}

}  // namespace wm
