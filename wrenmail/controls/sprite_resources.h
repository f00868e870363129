// The resource requests by which the module makes, shows and removes the host sprites it paints
// itself. Every request goes to ResPort and is sent unless said otherwise.
#ifndef WRENMAIL_CONTROLS_SPRITE_RESOURCES_H
#define WRENMAIL_CONTROLS_SPRITE_RESOURCES_H

#include <cstdint>

#include "controls/canvas_drawing.h"

namespace wm {

void CreateSpriteResource(uint16_t name);
// The new effect's atom, 0 when the host refuses.
uint16_t CreateEffect(uint16_t name, uint16_t effect);
// A width x height bitmap with the background and pure green as its transparent colour; 0 when
// the host refuses.
uint16_t CreateBitmap(int32_t width, int32_t height, Rgb background);
void SetEffectPivot(uint16_t name, uint16_t effect, uint16_t canvas_port);
void SetEffectBitmap(uint16_t name, uint16_t effect, uint16_t bitmap);
// Kind 0 leaves the sprite's kind to the host.
void SetSpriteProperties(uint16_t name, uint16_t kind, int32_t transparency, bool visible,
                         bool interactive);
void PlaceSprite(uint16_t scene_port, uint16_t name, int32_t x, int32_t y, int32_t depth);
// Posts the deletion of one resource.
void PostResourceDeletion(uint16_t resource);

struct CanvasSpriteGeometry {
    uint16_t name;
    uint16_t scene_port;
    uint16_t canvas_port;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t depth;
    bool interactive;
    int32_t transparency;
};

struct CanvasSprite {
    uint16_t bitmap;
    uint16_t effect;
};

// A sprite whose picture the module paints through the canvas port.
CanvasSprite MakeCanvasSprite(const CanvasSpriteGeometry& geometry);
void RemoveCanvasSprite(uint16_t name, const CanvasSprite& handles, uint16_t scene_port);

void ShowOrHideSprite(uint16_t scene_port, uint16_t sprite, bool visible);

}  // namespace wm

#endif
