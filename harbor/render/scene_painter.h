// Draws the scene stack onto a Cairo context in stage coordinates (640 by 480): the bottom
// scene first, overlays above it; in each scene its background, then its sprites far to near,
// each by the look of its current effect. The window paints every frame with it, headless runs
// write PNG snapshots.
//
// A painter keeps caches (looks, laid-out texts, rasterised pictures) and is used from one
// thread. The first painter of a process loads Harbor's font configuration (font_config.h).
#ifndef HARBOR_RENDER_SCENE_PAINTER_H
#define HARBOR_RENDER_SCENE_PAINTER_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include <cairo.h>

#include "render/gobject_ptr.h"
#include "render/look.h"
#include "render/svg_cache.h"
#include "render/text_system.h"
#include "scene/scene_service.h"

namespace harbor {

inline constexpr int kStageWidth = 640;
inline constexpr int kStageHeight = 480;

class ScenePainter {
public:
    using ProblemSink = std::function<void(const std::string&)>;
    // Pictures the module paints itself (canvas sprites): asked for every visible sprite that
    // draws a look; a surface answered is drawn over the look, scaled to the sprite's rect. The
    // surface stays the provider's; null means the sprite has no picture.
    using PictureProvider = std::function<cairo_surface_t*(uint16_t scene, uint16_t sprite)>;

    // `content_dir` holds art/ (the looks' pictures) beside scenes/.
    explicit ScenePainter(std::filesystem::path content_dir);
    ~ScenePainter();
    ScenePainter(const ScenePainter&) = delete;
    ScenePainter& operator=(const ScenePainter&) = delete;

    // Where problems go (a picture that cannot be loaded, the font configuration missing); each
    // is reported once. By default they are reported as Harbor's problems (trace_log.h).
    void SetProblemSink(ProblemSink sink);
    void SetPictureProvider(PictureProvider provider) { pictures_ = std::move(provider); }

    // Paints the stage (0, 0, 640, 480 in the context's user space) at clock time `now_ms`,
    // which drives the caret's blink and the animations.
    void Paint(cairo_t* cr, const SceneService& scenes, uint64_t now_ms);
    // Paints one scene alone over white, as a scene that does not take input (no caret): what
    // a printed page shows of it.
    void PaintSceneAlone(cairo_t* cr, const SceneState& scene, uint64_t now_ms);
    // Paints a 640 by 480 ARGB32 image and writes it as PNG.
    bool WritePng(const SceneService& scenes, uint64_t now_ms, const std::filesystem::path& file,
                  std::string& error);

    const TextSystem& Text() const { return *text_; }

private:
    // The look of a sprite's current effect, parsed once per definition and effect.
    struct EffectLook {
        std::shared_ptr<const SpriteDef> def;  // keeps the key's address from being reused
        std::string name;
        std::optional<Look> look;  // none: the sprite has no effect, or one it does not define
    };
    struct Frame;

    const EffectLook& LookOf(const Sprite& sprite);
    PangoLayout* CachedLayout(const std::string& text, const TextStyle& style);

    void PaintScene(cairo_t* cr, const SceneState& scene, bool top, uint64_t now_ms);
    void PaintSprite(cairo_t* cr, const Frame& frame, const Sprite& sprite);
    void PaintButton(cairo_t* cr, const Sprite& sprite, const EffectLook& look);
    void PaintText(cairo_t* cr, const Sprite& sprite, const EffectLook& look);
    void PaintEdit(cairo_t* cr, const Frame& frame, const Sprite& sprite, const EffectLook& look);
    void PaintAnimation(cairo_t* cr, const Frame& frame, const Sprite& sprite, const EffectLook& look);
    void PaintLook(cairo_t* cr, const Look& look, const Box& box, double picture_dy = 0);
    void PaintPicture(cairo_t* cr, const Frame& frame, const Sprite& sprite);
    void Report(const std::string& problem);

    std::filesystem::path content_dir_;
    std::unique_ptr<TextSystem> text_;
    SvgCache svgs_;
    ProblemSink problems_;
    PictureProvider pictures_;
    std::map<std::pair<const SpriteDef*, uint16_t>, EffectLook> looks_;
    std::unordered_map<std::string, GObjectPtr<PangoLayout>> layouts_;
};

}  // namespace harbor

#endif
