#include "canvas/rich_text_sprites.h"

#include <algorithm>
#include <utility>

namespace harbor {

namespace {

bool Drawable(const Rect& rect) {
    return rect.width > 0 && rect.height > 0 && rect.width <= kLargestCanvasSide && rect.height <= kLargestCanvasSide;
}

}  // namespace

RichTextSprites::RichTextSprites(const SceneService& scenes, TextSource text)
    : scenes_(scenes), text_(std::move(text)) {}

std::vector<uint16_t> RichTextSprites::VisibleRichTexts(uint16_t scene) const {
    std::vector<uint16_t> shown;
    if (const SceneState* state = scenes_.Scene(scene)) {
        for (const auto& s : state->Sprites()) {
            if (s->visible && s->kind == SpriteKind::RichText) shown.push_back(s->name);
        }
    }
    return shown;
}

bool RichTextSprites::Refresh(uint16_t scene) {
    bool changed = false;
    // Collected first: the module's draw handler moves and shows sprites of the scene meanwhile.
    for (uint16_t sprite : VisibleRichTexts(scene)) changed = Ask(scene, sprite) || changed;
    return changed;
}

CairoCanvas* RichTextSprites::CanvasFor(uint16_t scene, uint16_t sprite) {
    const std::optional<SpriteInfo> info = scenes_.FindSprite(scene, sprite);
    if (!info || !Drawable(info->rect)) return nullptr;
    ModulePicture& kept = pictures_[Key{scene, sprite}];
    if (!kept.canvas || kept.canvas->Width() != info->rect.width || kept.canvas->Height() != info->rect.height) {
        kept = ModulePicture{};
        kept.canvas = std::make_unique<CairoCanvas>(text_(), info->rect.width, info->rect.height);
    }
    return kept.canvas.get();
}

bool RichTextSprites::Ask(uint16_t scene, uint16_t sprite) {
    const SceneState* state = scenes_.Scene(scene);
    CairoCanvas* canvas = state != nullptr ? CanvasFor(scene, sprite) : nullptr;
    if (canvas == nullptr || !RequestDrawing(state->Def().event_port, sprite, *canvas)) return false;
    auto it = pictures_.find(Key{scene, sprite});
    if (it == pictures_.end()) return false;
    it->second.Keep();
    return true;
}

void RichTextSprites::KeepOnly(const std::vector<uint16_t>& stack) {
    std::erase_if(pictures_, [&stack](const auto& entry) {
        return std::find(stack.begin(), stack.end(), entry.first.first) == stack.end();
    });
}

cairo_surface_t* RichTextSprites::Picture(uint16_t scene, uint16_t sprite) const {
    const ModulePicture* kept = Find(scene, sprite);
    return kept != nullptr ? kept->picture.get() : nullptr;
}

const ModulePicture* RichTextSprites::Find(uint16_t scene, uint16_t sprite) const {
    auto it = pictures_.find(Key{scene, sprite});
    return it == pictures_.end() || !it->second.picture ? nullptr : &it->second;
}

}  // namespace harbor
