// Canvas sprites: sprites whose looks the module paints itself. ResPort makes their parts and
// sets their properties; a scene shows them like its own sprites (the scene service asks this
// service for the definition of a name it does not know); their pictures come from the module.
//
//   ResPort 30080 TYPE=3 NAME=s                a sprite                     STATUS, NAME = s
//   ResPort 30080 TYPE=4 NAME=s FX=f           an effect (a look) of s      STATUS, NAME = effect
//   ResPort 30080 TYPE=5 WIDTH HEIGHT          a bitmap: a canvas           STATUS, NAME = bitmap
//   ResPort 30052 TYPE=5 NAME=b BG_* TRANS*    b's background and transparent colour
//   ResPort 30052 TYPE=4 NAME=s FX=f PIVOT BITMAP ANIMREPEAT   the look's port and bitmap
//   ResPort 30052 TYPE=3 NAME=s TRANSPARENCY VISIBLE INTERACTIVE KIND(=BUTTON)
//   ResPort 30004 NAME=x                       deletes a sprite, an effect or a bitmap
//
// Pictures: at each tick (30040 on TimerPortTick) and whenever Refresh is called (before a
// snapshot), every look of every visible canvas sprite on the scene stack is asked for: 30072
// with NAME = the sprite and "Bitmap" = the look's canvas goes to the look's pivot port. An
// answer of true with UPDATED makes the canvas the look's new picture (the transparent colour
// keyed out); anything else keeps the last one. A look without a pivot never gets a picture.
//
// The scenes' rich text sprites get their pictures the same way, at the same moments
// (rich_text_sprites.h); Picture and DrawnText answer for both.
//
// A sprite with a look named "down" shows it while the pointer press that took the sprite lasts,
// and otherwise its first other look (a button's "up", a control's "Default").
#ifndef HARBOR_CANVAS_CANVAS_SPRITES_H
#define HARBOR_CANVAS_CANVAS_SPRITES_H

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <cairo.h>

#include "canvas/cairo_canvas.h"
#include "canvas/keyed_picture.h"
#include "canvas/module_picture.h"
#include "canvas/rich_text_sprites.h"
#include "edict.h"
#include "render/gobject_ptr.h"
#include "render/text_system.h"
#include "scene/scene_service.h"

namespace harbor {

class CanvasSprites {
public:
    // Attaches ResPort and TimerPortTick and becomes `scenes`' sprite resolver. Canvases lay text
    // out with Harbor's fonts (font_config.h), loaded from beside `content_dir` if not yet.
    CanvasSprites(SceneService& scenes, std::filesystem::path content_dir);
    ~CanvasSprites();
    CanvasSprites(const CanvasSprites&) = delete;
    CanvasSprites& operator=(const CanvasSprites&) = delete;

    // Asks for the pictures of the visible canvas sprites now; a scene whose pictures or shown
    // looks changed is touched so painters redraw it.
    void Refresh();
    // The picture to paint for a sprite, or null: for ScenePainter::SetPictureProvider.
    cairo_surface_t* Picture(uint16_t scene, uint16_t sprite) const;

    // The texts drawn on the sprite's picture now shown (CairoCanvas::DrawnText); nothing when
    // the module has not painted it.
    std::optional<std::string> DrawnText(uint16_t scene, uint16_t sprite) const;

    bool Knows(uint16_t atom) const;
    // The canvas of a bitmap, or null.
    CairoCanvas* Canvas(uint16_t bitmap) const;

private:
    using Bitmap = ModulePicture;
    struct Effect {
        uint16_t sprite = 0;
        uint16_t fx = 0;
        uint16_t pivot = 0;
        uint16_t bitmap = 0;
    };
    struct Sprite {
        std::vector<uint16_t> effects;  // in creation order
        bool visible = true;
        bool interactive = false;
        bool button = false;
        int32_t transparency = 0;
        std::map<uint16_t, uint16_t> shown;  // scene -> the look last shown there
    };

    static bool OnResPort(EDict* record);
    static bool OnTick(EDict* record);
    bool Create(EDict& record);
    bool Set(EDict& record);
    bool Delete(uint16_t atom);
    uint16_t MakeSprite(uint16_t name);
    uint16_t MakeEffect(uint16_t sprite, uint16_t fx);
    uint16_t MakeBitmap(int32_t width, int32_t height);
    void SetBitmap(Bitmap& bitmap, const EDict& record) const;
    void SetEffect(Effect& effect, const EDict& record) const;
    void SetSprite(Sprite& sprite, const EDict& record) const;
    uint16_t EffectOf(uint16_t sprite, uint16_t fx) const;
    std::shared_ptr<const SpriteDef> Definition(uint16_t name) const;
    uint16_t ShownLook(uint16_t scene, uint16_t sprite) const;
    bool RefreshScene(uint16_t scene);
    bool AskPicture(uint16_t effect);
    const TextSystem& Text();

    SceneService& scenes_;
    std::filesystem::path content_dir_;
    std::unique_ptr<TextSystem> text_;
    std::map<uint16_t, Sprite> sprites_;
    std::map<uint16_t, Effect> effects_;
    std::map<uint16_t, Bitmap> bitmaps_;
    RichTextSprites rich_texts_;
    static CanvasSprites* live_;  // HxHandler carries no context: one live instance
};

}  // namespace harbor

#endif
