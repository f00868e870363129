#include "controls/sprite_resources.h"

#include "controls/control_atoms.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/request_builders.h"

namespace wm {
namespace {

constexpr int32_t kSpriteResource = 3;
constexpr int32_t kEffectResource = 4;
constexpr int32_t kBitmapResource = 5;

EDict ResourceRecord(uint16_t type, int32_t kind) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    EDictPutLong(&record, atoms::TYPE, kind);
    return record;
}

// The atom the host answers in NAME when its STATUS says it made the resource.
uint16_t AnsweredName(EDict* record) {
    HxPortSend(atoms::ResPort, record);
    return EDictGetBool(record, atoms::STATUS) ? EDictGetShort(record, atoms::NAME) : 0;
}

EDict EffectRecord(uint16_t name, uint16_t effect) {
    EDict record = ResourceRecord(code::kSet, kEffectResource);
    EDictPutShort(&record, atoms::NAME, name);
    EDictPutShort(&record, atoms::FX, effect);
    return record;
}

}  // namespace

void SetSpriteProperties(uint16_t name, uint16_t kind, int32_t transparency, bool visible,
                         bool interactive) {
    EDict record = ResourceRecord(code::kSet, kSpriteResource);
    if (kind != 0) {
        EDictPutShort(&record, atoms::KIND, kind);
    }
    EDictPutShort(&record, atoms::NAME, name);
    EDictPutLong(&record, atoms::TRANSPARENCY, transparency);
    EDictPutLong(&record, atoms::VISIBLE, visible ? 1 : 0);
    EDictPutLong(&record, atoms::INTERACTIVE, interactive ? 1 : 0);
    HxPortSend(atoms::ResPort, &record);
}

void CreateSpriteResource(uint16_t name) {
    EDict record = ResourceRecord(code::kCreate, kSpriteResource);
    EDictPutShort(&record, atoms::NAME, name);
    HxPortSend(atoms::ResPort, &record);
}

uint16_t CreateEffect(uint16_t name, uint16_t effect) {
    EDict record = ResourceRecord(code::kCreate, kEffectResource);
    EDictPutShort(&record, atoms::NAME, name);
    EDictPutShort(&record, atoms::FX, effect);
    return AnsweredName(&record);
}

uint16_t CreateBitmap(int32_t width, int32_t height, Rgb background) {
    EDict record = ResourceRecord(code::kCreate, kBitmapResource);
    EDictPutLong(&record, atoms::WIDTH, width);
    EDictPutLong(&record, atoms::HEIGHT, height);
    const uint16_t bitmap = AnsweredName(&record);
    if (bitmap == 0) {
        return 0;
    }
    EDict colours = ResourceRecord(code::kSet, kBitmapResource);
    EDictPutShort(&colours, atoms::NAME, bitmap);
    EDictPutLong(&colours, atoms::BG_RED, background.red);
    EDictPutLong(&colours, atoms::BG_GREEN, background.green);
    EDictPutLong(&colours, atoms::BG_BLUE, background.blue);
    EDictPutLong(&colours, atoms::TRANSRED, kTransparentGreen.red);
    EDictPutLong(&colours, atoms::TRANSGREEN, kTransparentGreen.green);
    EDictPutLong(&colours, atoms::TRANSBLUE, kTransparentGreen.blue);
    HxPortSend(atoms::ResPort, &colours);
    return bitmap;
}

void SetEffectPivot(uint16_t name, uint16_t effect, uint16_t canvas_port) {
    EDict record = EffectRecord(name, effect);
    EDictPutShort(&record, atoms::PIVOT, canvas_port);
    HxPortSend(atoms::ResPort, &record);
}

void SetEffectBitmap(uint16_t name, uint16_t effect, uint16_t bitmap) {
    EDict record = EffectRecord(name, effect);
    EDictPutShort(&record, atoms::controls::BITMAP, bitmap);
    EDictPutLong(&record, atoms::ANIMREPEAT, -1);
    HxPortSend(atoms::ResPort, &record);
}

void PlaceSprite(uint16_t scene_port, uint16_t name, int32_t x, int32_t y, int32_t depth) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kStart);
    EDictPutShort(&record, atoms::SPRITENAME, name);
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    EDictPutLong(&record, atoms::Z, depth);
    HxPortSend(scene_port, &record);
}

void PostResourceDeletion(uint16_t resource) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kDelete);
    EDictPutShort(&record, atoms::NAME, resource);
    HxPortPost(atoms::ResPort, &record, 0);
}

CanvasSprite MakeCanvasSprite(const CanvasSpriteGeometry& geometry) {
    CreateSpriteResource(geometry.name);
    const uint16_t effect = CreateEffect(geometry.name, atoms::controls::Default);
    const uint16_t bitmap = CreateBitmap(geometry.width, geometry.height, Rgb{0, 0, 0});
    if (geometry.interactive) {
        SetEffectPivot(geometry.name, atoms::controls::Default, geometry.canvas_port);
    }
    SetEffectBitmap(geometry.name, atoms::controls::Default, bitmap);
    SetSpriteProperties(geometry.name, 0, geometry.transparency, true, geometry.interactive);
    PlaceSprite(geometry.scene_port, geometry.name, geometry.x, geometry.y, geometry.depth);
    return CanvasSprite{bitmap, effect};
}

void RemoveCanvasSprite(uint16_t name, const CanvasSprite& handles, uint16_t scene_port) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kDelete);
    EDictPutShort(&record, atoms::NAME, name);
    HxPortSend(scene_port, &record);
    PostResourceDeletion(name);
    PostResourceDeletion(handles.effect);
    PostResourceDeletion(handles.bitmap);
}

void ShowOrHideSprite(uint16_t scene_port, uint16_t sprite, bool visible) {
    SetSpriteVisible(scene_port, sprite, visible, kSend);
}

}  // namespace wm
