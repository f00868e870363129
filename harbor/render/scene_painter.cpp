#include "render/scene_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <pango/pangocairo.h>

#include "render/font_config.h"
#include "base/trace_log.h"
#include "scene/scene_names.h"

namespace harbor {

namespace {

constexpr const char* kDefaultFamily = "Comic Sans MS";
constexpr double kDefaultFontSize = 16;
constexpr Rgba kDefaultTextColor{0, 0, 0, 1};
constexpr double kLabelPadding = 4;   // buttons: between the label and the edge
constexpr double kFieldPadding = 6;   // edit fields: between the text and the edge
constexpr double kCaretWidth = 2;
constexpr uint64_t kCaretBlinkMs = 500;  // on, then off for as long
constexpr double kBobPixels = 4;         // animations that run: the picture bobs this far
constexpr uint64_t kBobPeriodMs = 1600;
constexpr double kShadowOffset = 3;
constexpr double kShadowAlpha = 0.16;
constexpr std::size_t kMaxCachedLayouts = 512;

enum class VAlign { Top, Middle };

TextStyle StyleOf(const SpriteDef& def) {
    TextStyle style;
    style.family = def.font && !def.font->family.empty() ? def.font->family : kDefaultFamily;
    style.size = def.font && def.font->size > 0 ? def.font->size : kDefaultFontSize;
    style.align = def.font ? def.font->align : TextAlign::Left;
    style.wrap = def.font && def.font->wrap;
    return style;
}

Rgba TextColorOf(const SpriteDef& def, const Look* look) {
    if (look != nullptr && look->text_color) return *look->text_color;
    if (def.font) {
        if (std::optional<Rgba> color = ParseColor(def.font->color)) return *color;
    }
    return kDefaultTextColor;
}

Box BoxOf(const Sprite& sprite, const Look* look) {
    return ToBox(look != nullptr && look->rect ? *look->rect : sprite.rect);
}

Box Inset(const Box& box, double dx, double dy) {
    return {box.x + dx, box.y + dy, box.width - 2 * dx, box.height - 2 * dy};
}

void ClipTo(cairo_t* cr, const Box& box) {
    cairo_new_path(cr);
    cairo_rectangle(cr, box.x, box.y, std::max(0.0, box.width), std::max(0.0, box.height));
    cairo_clip(cr);
}

// Draws a laid-out text with its layout box's left edge at `x`, at the top of `box` or centred
// in its height.
void ShowLayout(cairo_t* cr, PangoLayout* layout, double x, const Box& box, VAlign valign, const Rgba& color) {
    const TextExtent extent = TextSystem::Extent(layout);
    const double y = valign == VAlign::Middle ? box.y + (box.height - extent.height) / 2 : box.y;
    cairo_move_to(cr, x, y);
    SetSource(cr, color);
    pango_cairo_show_layout(cr, layout);
}

std::string LayoutKey(const std::string& text, const TextStyle& style) {
    std::string key = style.family;
    key += '\x1f';
    key += std::to_string(style.size) + '/' + std::to_string(static_cast<int>(style.align)) + '/' +
           (style.wrap ? 'w' : 'l') + '/' + std::to_string(style.width);
    key += '\x1f';
    key += text;
    return key;
}

// The byte offset in what an edit field shows that matches its caret: masked fields show one
// '*' per character.
std::size_t DisplayCaret(const Sprite& field) {
    const std::size_t caret = field.text.Caret();
    if (!field.IsPassword()) return caret;
    return Utf8Length(std::string_view(field.text.Text()).substr(0, caret));
}

double Bob(uint64_t now_ms) {
    const double phase = static_cast<double>(now_ms % kBobPeriodMs) / kBobPeriodMs;
    return -kBobPixels * std::sin(2 * std::numbers::pi * phase);
}

}  // namespace

struct ScenePainter::Frame {
    const SceneState& scene;
    bool top = false;  // the scene that takes input: its focused field shows the caret
    uint64_t now_ms = 0;
};

ScenePainter::ScenePainter(std::filesystem::path content_dir)
    : content_dir_(std::move(content_dir)), svgs_(content_dir_ / "art") {
    std::string error;
    if (!SetUpFonts(content_dir_, error) && !error.empty()) Report(error);
    text_ = std::make_unique<TextSystem>(HarborFontConfig());
    svgs_.SetProblemSink([this](const std::string& problem) { Report(problem); });
}

ScenePainter::~ScenePainter() = default;

void ScenePainter::SetProblemSink(ProblemSink sink) { problems_ = std::move(sink); }

void ScenePainter::Report(const std::string& problem) {
    if (problems_) {
        problems_(problem);
    } else {
        ProblemNote("Painter", problem);
    }
}

const ScenePainter::EffectLook& ScenePainter::LookOf(const Sprite& sprite) {
    auto key = std::make_pair(sprite.def.get(), sprite.effect);
    auto it = looks_.find(key);
    if (it != looks_.end()) return it->second;
    EffectLook entry;
    entry.def = sprite.def;
    if (sprite.effect != 0) {
        entry.name = AtomName(sprite.effect);
        for (const auto& [name, look] : sprite.def->effects) {
            if (name == entry.name) entry.look = ParseLook(look);
        }
    }
    return looks_.emplace(key, std::move(entry)).first->second;
}

PangoLayout* ScenePainter::CachedLayout(const std::string& text, const TextStyle& style) {
    std::string key = LayoutKey(text, style);
    auto it = layouts_.find(key);
    if (it != layouts_.end()) return it->second.get();
    if (layouts_.size() >= kMaxCachedLayouts) layouts_.clear();
    return layouts_.emplace(std::move(key), text_->Layout(text, style)).first->second.get();
}

void ScenePainter::Paint(cairo_t* cr, const SceneService& scenes, uint64_t now_ms) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    ClipTo(cr, {0, 0, kStageWidth, kStageHeight});
    // The stage is opaque: a window can show the surface as it is.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const std::vector<uint16_t>& stack = scenes.SceneStack();
    for (std::size_t i = 0; i < stack.size(); ++i) {
        if (const SceneState* scene = scenes.Scene(stack[i])) PaintScene(cr, *scene, i + 1 == stack.size(), now_ms);
    }
    cairo_restore(cr);
}

void ScenePainter::PaintSceneAlone(cairo_t* cr, const SceneState& scene, uint64_t now_ms) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    ClipTo(cr, {0, 0, kStageWidth, kStageHeight});
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    PaintScene(cr, scene, false, now_ms);
    cairo_restore(cr);
}

bool ScenePainter::WritePng(const SceneService& scenes, uint64_t now_ms, const std::filesystem::path& file,
                            std::string& error) {
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kStageWidth, kStageHeight));
    {
        CairoPtr cr(cairo_create(surface.get()));
        Paint(cr.get(), scenes, now_ms);
    }
    cairo_surface_flush(surface.get());
    const cairo_status_t status = cairo_surface_write_to_png(surface.get(), file.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = "cannot write " + file.string() + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

void ScenePainter::PaintScene(cairo_t* cr, const SceneState& scene, bool top, uint64_t now_ms) {
    const SceneDef& def = scene.Def();
    PaintLook(cr, ParseLook(def.background), {0, 0, double(def.width), double(def.height)});
    const Frame frame{scene, top, now_ms};
    for (const Sprite* sprite : scene.PaintOrder()) {
        if (sprite->visible) PaintSprite(cr, frame, *sprite);
    }
}

void ScenePainter::PaintSprite(cairo_t* cr, const Frame& frame, const Sprite& sprite) {
    if (sprite.kind == SpriteKind::Sound || sprite.kind == SpriteKind::DataDict || sprite.kind == SpriteKind::Template) {
        return;
    }
    const EffectLook& look = LookOf(sprite);
    cairo_save(cr);
    switch (sprite.kind) {
        case SpriteKind::Button: PaintButton(cr, sprite, look); break;
        case SpriteKind::Text: PaintText(cr, sprite, look); break;
        case SpriteKind::Edit: PaintEdit(cr, frame, sprite, look); break;
        case SpriteKind::Animation: PaintAnimation(cr, frame, sprite, look); break;
        default:  // plain sprites, and rich texts: their contents come from the module, here their frame
            if (look.look) PaintLook(cr, *look.look, BoxOf(sprite, &*look.look));
            break;
    }
    cairo_restore(cr);
    PaintPicture(cr, frame, sprite);
}

void ScenePainter::PaintLook(cairo_t* cr, const Look& look, const Box& box, double picture_dy) {
    if (look.fill) FillShape(cr, look.shape, box, *look.fill);
    if (!look.image.empty()) {
        cairo_save(cr);
        cairo_new_path(cr);
        ShapePath(cr, look.shape, box);
        cairo_clip(cr);
        svgs_.Draw(cr, look.image, {box.x, box.y + picture_dy, box.width, box.height});
        cairo_restore(cr);
    }
    if (look.stroke) StrokeShape(cr, look.shape, box, *look.stroke);
}

void ScenePainter::PaintButton(cairo_t* cr, const Sprite& sprite, const EffectLook& look) {
    const Look* l = look.look ? &*look.look : nullptr;
    Box box = BoxOf(sprite, l);
    const bool down = look.name == "Down";
    const bool disabled = look.name == "Disabled";
    if (l != nullptr) {
        // A soft shadow under raised buttons; a pressed one sinks onto it.
        if (!down && !disabled && l->fill) {
            FillShape(cr, l->shape, {box.x, box.y + kShadowOffset, box.width, box.height}, {0, 0, 0, 1}, kShadowAlpha);
        }
        if (down) box.y += kShadowOffset / 2;
        PaintLook(cr, *l, box);
    }
    const std::string label = sprite.DisplayText();
    if (label.empty()) return;
    TextStyle style = StyleOf(*sprite.def);
    style.align = TextAlign::Center;
    style.wrap = false;
    const Box inner = Inset(box, kLabelPadding, 0);
    style.width = inner.width;
    ClipTo(cr, box);
    ShowLayout(cr, CachedLayout(label, style), inner.x, inner, VAlign::Middle, TextColorOf(*sprite.def, l));
}

void ScenePainter::PaintText(cairo_t* cr, const Sprite& sprite, const EffectLook& look) {
    const Look* l = look.look ? &*look.look : nullptr;
    if (l != nullptr) PaintLook(cr, *l, BoxOf(sprite, l));
    const std::string text = sprite.DisplayText();
    if (text.empty()) return;
    const Box box = ToBox(sprite.rect);
    TextStyle style = StyleOf(*sprite.def);
    const bool boxed = box.width > 0 && box.height > 0;
    if (boxed) {
        style.width = box.width;
        ClipTo(cr, box);
    }
    // Text sits in the middle of its box, or starts at the top when it needs more than the box.
    PangoLayout* layout = CachedLayout(text, style);
    const bool fits = TextSystem::Extent(layout).height <= box.height;
    ShowLayout(cr, layout, box.x, box, boxed && fits ? VAlign::Middle : VAlign::Top, TextColorOf(*sprite.def, l));
}

void ScenePainter::PaintEdit(cairo_t* cr, const Frame& frame, const Sprite& sprite, const EffectLook& look) {
    const Look* l = look.look ? &*look.look : nullptr;
    const Box box = BoxOf(sprite, l);
    if (l != nullptr) PaintLook(cr, *l, box);
    const Box inner = Inset(box, kFieldPadding, 0);
    if (inner.width <= 0 || inner.height <= 0) return;
    TextStyle style = StyleOf(*sprite.def);
    style.align = TextAlign::Left;
    style.wrap = false;
    style.width = 0;  // one line as long as typed; it scrolls to keep the caret in sight
    PangoLayout* layout = CachedLayout(sprite.DisplayText(), style);
    const double caret_x = TextSystem::CaretX(layout, DisplayCaret(sprite));
    const double scroll = std::max(0.0, caret_x + kCaretWidth - inner.width);
    const Rgba color = TextColorOf(*sprite.def, l);
    ClipTo(cr, Inset(box, kStrokeWidth, kStrokeWidth));
    ShowLayout(cr, layout, inner.x - scroll, inner, VAlign::Middle, color);
    const bool focused = frame.top && frame.scene.Focus() == sprite.name && frame.scene.TakesInput(sprite);
    if (!focused || (frame.now_ms / kCaretBlinkMs) % 2 != 0) return;
    const double line = std::min(inner.height - 2 * kFieldPadding, style.size * 1.3);
    cairo_rectangle(cr, inner.x - scroll + caret_x, inner.y + (inner.height - line) / 2, kCaretWidth, line);
    SetSource(cr, color);
    cairo_fill(cr);
}

void ScenePainter::PaintAnimation(cairo_t* cr, const Frame& frame, const Sprite& sprite, const EffectLook& look) {
    if (!look.look) return;
    const double dy = sprite.def->duration > 0 ? Bob(frame.now_ms) : 0;
    PaintLook(cr, *look.look, BoxOf(sprite, &*look.look), dy);
}

void ScenePainter::PaintPicture(cairo_t* cr, const Frame& frame, const Sprite& sprite) {
    if (!pictures_) return;
    cairo_surface_t* picture = pictures_(frame.scene.Atom(), sprite.name);
    if (picture == nullptr || cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) return;
    const Box box = ToBox(sprite.rect);
    const bool image = cairo_surface_get_type(picture) == CAIRO_SURFACE_TYPE_IMAGE;
    const int width = image ? cairo_image_surface_get_width(picture) : 0;
    const int height = image ? cairo_image_surface_get_height(picture) : 0;
    cairo_save(cr);
    const bool scaled = width > 0 && height > 0 && box.width > 0 && box.height > 0;
    if (scaled) ClipTo(cr, box);
    cairo_translate(cr, box.x, box.y);
    if (scaled) cairo_scale(cr, box.width / width, box.height / height);
    cairo_set_source_surface(cr, picture, 0, 0);
    // Edge pixels repeat outward, so scaling does not fade the picture's border. Only pixels: a
    // vector picture (a printed page's) padded would be rasterised by the PDF surface.
    if (image) cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace harbor
