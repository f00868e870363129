// Rich text sprites: sprites of kind "richtext" in the scene files, whose pictures the module's
// rich text views paint. Whenever pictures are refreshed (each tick, and before a snapshot),
// every visible rich text sprite of a scene is asked for its picture:
//
//   scene's event port 30072 NAME = the sprite, "Bitmap" = a canvas of the sprite's size
//
// and keeps its last picture when the module answers false or without UPDATED (module_picture.h).
// The rest of the protocol is the scene's own: showing the sprite reports it ready (30060), and
// 30055 answers its rectangle. A scene that leaves the stack forgets its pictures, so the next
// visit shows nothing until the module paints again.
#ifndef HARBOR_CANVAS_RICH_TEXT_SPRITES_H
#define HARBOR_CANVAS_RICH_TEXT_SPRITES_H

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include <cairo.h>

#include "canvas/module_picture.h"
#include "render/text_system.h"
#include "scene/scene_service.h"

namespace harbor {

class RichTextSprites {
public:
    using TextSource = std::function<const TextSystem&()>;
    // `text` gives the text system the canvases measure and draw with; asked when first needed.
    RichTextSprites(const SceneService& scenes, TextSource text);

    // Asks for the pictures of the scene's visible rich text sprites; true when one changed.
    bool Refresh(uint16_t scene);
    // Forgets the pictures of every scene not in `stack`.
    void KeepOnly(const std::vector<uint16_t>& stack);

    // The last picture of the sprite in the scene, or null.
    cairo_surface_t* Picture(uint16_t scene, uint16_t sprite) const;
    // The sprite's kept picture with its texts, or null when the module never drew it.
    const ModulePicture* Find(uint16_t scene, uint16_t sprite) const;

private:
    using Key = std::pair<uint16_t, uint16_t>;  // scene, sprite
    std::vector<uint16_t> VisibleRichTexts(uint16_t scene) const;
    // The sprite's canvas, made (again) at its current size; null when it has no area.
    CairoCanvas* CanvasFor(uint16_t scene, uint16_t sprite);
    bool Ask(uint16_t scene, uint16_t sprite);

    const SceneService& scenes_;
    TextSource text_;
    std::map<Key, ModulePicture> pictures_;
};

}  // namespace harbor

#endif
