#include "controls/button.h"

#include <algorithm>
#include <vector>

#include "controls/control_atoms.h"
#include "controls/draw_request.h"
#include "controls/sprite_resources.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/request_builders.h"
#include "wrenmail.h"

namespace wm {
namespace {

struct ButtonRegistry {
    std::vector<PMButton*> buttons;  // newest first
    long name_counter = 0;
};

ButtonRegistry& Registry() {
    static ButtonRegistry registry;
    return registry;
}

// One look: its effect, a bitmap of the button's size and the canvas port that paints it.
struct Look {
    uint16_t effect;
    uint16_t bitmap;
};

Look MakeLook(uint16_t sprite, uint16_t effect_name, int32_t width, int32_t height, Rgb background,
              uint16_t canvas_port) {
    const uint16_t effect = CreateEffect(sprite, effect_name);
    const uint16_t bitmap = CreateBitmap(width, height, background);
    SetEffectPivot(sprite, effect_name, canvas_port);
    SetEffectBitmap(sprite, effect_name, bitmap);
    return Look{effect, bitmap};
}

bool DrawLook(EDict* record, bool up) {
    if (record == nullptr) {
        return false;
    }
    const DrawRequest request = ReadDrawRequest(record);
    PMButton* button = PMButton::FindBySprite(request.sprite);
    if (request.canvas == nullptr || button == nullptr || !button->Draw(*request.canvas, up)) {
        return false;
    }
    EDictPutBool(record, atoms::UPDATED, true);
    return true;
}

}  // namespace

PMButton::PMButton(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t scene_port,
                   uint16_t event_port, int32_t depth)
    : scene_port_(scene_port), event_port_(event_port) {
    ButtonRegistry& registry = Registry();
    if (registry.buttons.empty()) {
        HxPortAttach(atoms::controls::PivotButtonCanvasPortDown, &PM_ButtonDrawDown);
        HxPortAttach(atoms::controls::PivotButtonCanvasPortUp, &PM_ButtonDrawUp);
    }
    sprite_ = CounterAtom("PM Button Sprite Name Number %ld", registry.name_counter);
    CreateSpriteResource(sprite_);
    const Look down = MakeLook(sprite_, atoms::controls::down, width, height, Rgb{0, 0, 0},
                               atoms::controls::PivotButtonCanvasPortDown);
    const Look up = MakeLook(sprite_, atoms::controls::up, width, height, Rgb{255, 0, 0},
                             atoms::controls::PivotButtonCanvasPortUp);
    down_effect_ = down.effect;
    down_bitmap_ = down.bitmap;
    up_effect_ = up.effect;
    up_bitmap_ = up.bitmap;
    SetSpriteProperties(sprite_, atoms::BUTTON, 0, false, true);
    PlaceSprite(scene_port_, sprite_, x, y, depth);
    registry.buttons.insert(registry.buttons.begin(), this);
    ++registry.name_counter;
}

PMButton::~PMButton() {
    ButtonRegistry& registry = Registry();
    ShowOrHideSprite(scene_port_, sprite_, false);
    std::erase(registry.buttons, this);
    if (registry.buttons.empty()) {
        HxPortDetach(atoms::controls::PivotButtonCanvasPortDown, &PM_ButtonDrawDown);
        HxPortDetach(atoms::controls::PivotButtonCanvasPortUp, &PM_ButtonDrawUp);
        registry.name_counter = 0;
    }
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kDelete);
    EDictPutShort(&record, atoms::NAME, sprite_);
    HxPortSend(scene_port_, &record);
    for (uint16_t resource : {sprite_, up_effect_, down_effect_, down_bitmap_, up_bitmap_}) {
        PostResourceDeletion(resource);
    }
}

bool PMButton::Draw(CanvasInterface&, bool) { return false; }

bool PMButton::DrawUp(EDict* record) { return DrawLook(record, true); }
bool PMButton::DrawDown(EDict* record) { return DrawLook(record, false); }

PMButton* PMButton::FindBySprite(uint16_t sprite) {
    for (PMButton* button : Registry().buttons) {
        if (button->sprite_ == sprite) {
            return button;
        }
    }
    return nullptr;
}

std::size_t PMButton::LiveCount() { return Registry().buttons.size(); }

}  // namespace wm
