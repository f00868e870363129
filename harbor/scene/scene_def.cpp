#include "scene/scene_def.h"

#include <algorithm>
#include <array>

namespace harbor {

namespace {

struct KindName {
    SpriteKind kind;
    std::string_view name;
};

constexpr std::array<KindName, 9> kKindNames{{
    {SpriteKind::Button, "button"},
    {SpriteKind::Edit, "edit"},
    {SpriteKind::Text, "text"},
    {SpriteKind::Sound, "sound"},
    {SpriteKind::Animation, "animation"},
    {SpriteKind::Sprite, "sprite"},
    {SpriteKind::DataDict, "datadict"},
    {SpriteKind::RichText, "richtext"},
    {SpriteKind::Template, "template"},
}};

}  // namespace

std::optional<SpriteKind> SpriteKindFromName(std::string_view name) {
    for (const KindName& k : kKindNames) {
        if (k.name == name) return k.kind;
    }
    return std::nullopt;
}

std::string_view SpriteKindName(SpriteKind kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind) return k.name;
    }
    return "sprite";
}

bool Rect::Contains(int32_t px, int32_t py) const {
    // 64-bit sums: rectangles near the int32 limits must not overflow.
    const int64_t right = int64_t{x} + width;
    const int64_t bottom = int64_t{y} + height;
    return px >= x && py >= y && px < right && py < bottom;
}

bool SpriteDef::KnowsEffect(std::string_view effect_name) const {
    return std::any_of(effects.begin(), effects.end(),
                       [effect_name](const auto& e) { return e.first == effect_name; });
}

const SpriteDef* SceneDef::Find(uint16_t sprite_atom) const {
    for (const auto& s : sprites) {
        if (s->atom == sprite_atom) return s.get();
    }
    return nullptr;
}

int32_t SceneDef::CoverLayer() const {
    for (const auto& s : sprites) {
        if (s->cover) return s->z;
    }
    return kDefaultCoverLayer;
}

}  // namespace harbor
