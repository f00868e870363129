// Scene definitions as the scene files describe them (docs/scene-format.md): immutable once
// loaded, shared by every live copy of a scene. Looks stay JSON so the painter can read fields
// this loader does not know.
#ifndef HARBOR_SCENE_SCENE_DEF_H
#define HARBOR_SCENE_SCENE_DEF_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace harbor {

enum class SpriteKind { Button, Edit, Text, Sound, Animation, Sprite, DataDict, RichText, Template };

std::optional<SpriteKind> SpriteKindFromName(std::string_view name);
std::string_view SpriteKindName(SpriteKind kind);

struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool Contains(int32_t px, int32_t py) const;
};

enum class TextAlign { Left, Center, Right };

struct FontDef {
    std::string family;
    double size = 0;
    std::string color;
    TextAlign align = TextAlign::Left;
    bool wrap = false;  // break at blanks to the rect's width instead of keeping one line
};

// Edit fields without an `edit` member take these limits.
inline constexpr int32_t kDefaultEditMaxLength = 255;

struct EditDef {
    int32_t max_length = kDefaultEditMaxLength;  // characters (UTF-8 sequences count once)
    bool password = false;
};

struct SpriteDef {
    std::string name;
    uint16_t atom = 0;
    SpriteKind kind = SpriteKind::Sprite;
    SpriteKind instance_kind = SpriteKind::Sprite;  // templates: the kind of what is made from them
    Rect rect;
    // The rect's corner less the sprite's position (`origin`): show and move requests set the
    // position, and the rect follows at this offset.
    int32_t offset_x = 0;
    int32_t offset_y = 0;
    int32_t z = 10;
    bool visible = true;
    bool interactive = false;
    bool cover = false;  // blocks input to every sprite at its layer or farther while up
    std::string effect;  // empty: none
    std::vector<std::pair<std::string, nlohmann::json>> effects;
    std::string text;
    std::optional<FontDef> font;
    std::optional<EditDef> edit;  // set for every edit sprite (defaults when the file has none)
    int32_t duration = 0;
    nlohmann::json data;  // datadict sprites

    bool IsEdit() const { return kind == SpriteKind::Edit; }
    bool KnowsEffect(std::string_view effect_name) const;
};

// Where the scene's events go and where input is blocked while its cover is up.
inline constexpr int32_t kDefaultCoverLayer = 3;

struct SceneDef {
    std::string name;
    uint16_t atom = 0;
    std::string event_port_name;
    uint16_t event_port = 0;
    int32_t width = 640;
    int32_t height = 480;
    nlohmann::json background;
    bool overlay = false;
    std::string source;  // the file it came from, for messages
    std::vector<std::shared_ptr<const SpriteDef>> sprites;

    const SpriteDef* Find(uint16_t sprite_atom) const;
    // The layer of the first sprite marked `cover`, else kDefaultCoverLayer.
    int32_t CoverLayer() const;
};

}  // namespace harbor

#endif
