#include "scene/scene_file.h"

#include <cstdint>
#include <limits>
#include <set>
#include <utility>

#include "datadict/text_position.h"
#include "hxmsg.h"

namespace harbor {

namespace {

using Json = nlohmann::json;

constexpr std::size_t kMaxNameBytes = 255;
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

// Deepest nesting of arrays and objects outside strings. Checked before parsing so that no
// recursive JSON operation (copy, compare) ever meets a hostile depth.
std::size_t NestingDepth(std::string_view text) {
    std::size_t depth = 0, deepest = 0;
    bool in_string = false, escaped = false;
    for (char c : text) {
        if (in_string) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') in_string = false;
            continue;
        }
        if (c == '"') in_string = true;
        else if (c == '[' || c == '{') deepest = std::max(deepest, ++depth);
        else if ((c == ']' || c == '}') && depth > 0) --depth;
    }
    return deepest;
}

// The parser's reason without its exception prefix and position, which the caller gives itself.
std::string SyntaxReason(const std::string& what) {
    const std::size_t column = what.find("column ");
    const std::size_t colon = column == std::string::npos ? what.npos : what.find(": ", column);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// Reads the members of one JSON object; the first problem met is kept as the error.
class Fields {
public:
    explicit Fields(const Json& object) : object_(object) {}

    bool Ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    void Fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
    }

    const Json* Member(const char* key) const {
        auto it = object_.find(key);
        return it == object_.end() ? nullptr : &*it;
    }

    std::optional<std::string> String(const char* key) {
        const Json* v = Member(key);
        if (v == nullptr) return std::nullopt;
        if (!v->is_string()) return Wrong(key, "a string");
        return v->get<std::string>();
    }

    // A string usable as a name atom: not empty, no NUL, not too long.
    std::optional<std::string> Name(const char* key) {
        std::optional<std::string> s = String(key);
        if (s && (s->empty() || s->size() > kMaxNameBytes || s->find('\0') != s->npos)) {
            return Wrong(key, "a name of 1 to 255 characters");
        }
        return s;
    }

    std::optional<bool> Bool(const char* key) {
        const Json* v = Member(key);
        if (v == nullptr) return std::nullopt;
        if (!v->is_boolean()) return Wrong(key, "true or false");
        return v->get<bool>();
    }

    std::optional<int32_t> Int(const char* key, int64_t min = kInt32Min, int64_t max = kInt32Max) {
        const Json* v = Member(key);
        if (v == nullptr) return std::nullopt;
        std::optional<int32_t> n = IntValue(*v, min, max);
        if (!n) return Wrong(key, "an integer from " + std::to_string(min) + " to " + std::to_string(max));
        return n;
    }

    std::optional<double> Number(const char* key, double min, double max) {
        const Json* v = Member(key);
        if (v == nullptr) return std::nullopt;
        if (!v->is_number() || v->get<double>() < min || v->get<double>() > max) {
            return Wrong(key, "a number from " + std::to_string(min) + " to " + std::to_string(max));
        }
        return v->get<double>();
    }

    const Json* Object(const char* key) {
        const Json* v = Member(key);
        if (v == nullptr || v->is_object()) return v;
        Wrong(key, "an object");
        return nullptr;
    }

    const Json* Array(const char* key) {
        const Json* v = Member(key);
        if (v == nullptr || v->is_array()) return v;
        Wrong(key, "an array");
        return nullptr;
    }

    static std::optional<int32_t> IntValue(const Json& v, int64_t min, int64_t max) {
        if (v.is_number_unsigned()) {
            const uint64_t u = v.get<uint64_t>();
            if (u > static_cast<uint64_t>(max)) return std::nullopt;
            return static_cast<int32_t>(u);
        }
        if (!v.is_number_integer()) return std::nullopt;
        const int64_t n = v.get<int64_t>();
        if (n < min || n > max) return std::nullopt;
        return static_cast<int32_t>(n);
    }

private:
    std::nullopt_t Wrong(const char* key, const std::string& what) {
        Fail("field '" + std::string(key) + "' must be " + what);
        return std::nullopt;
    }

    const Json& object_;
    std::string error_;
};

uint16_t AtomOf(const std::string& name) { return static_cast<uint16_t>(DaNameGet(name.c_str())); }

bool ReadRect(Fields& f, Rect& rect) {
    const Json* v = f.Member("rect");
    if (v == nullptr) return true;
    if (!v->is_array() || v->size() != 4) {
        f.Fail("field 'rect' must be [x, y, width, height]");
        return false;
    }
    std::optional<int32_t> parts[4];
    for (std::size_t i = 0; i < 4; ++i) {
        parts[i] = Fields::IntValue((*v)[i], i < 2 ? kInt32Min : 0, kInt32Max);
    }
    if (!parts[0] || !parts[1] || !parts[2] || !parts[3]) {
        f.Fail("field 'rect' must be [x, y, width, height] integers, width and height not negative");
        return false;
    }
    rect = {*parts[0], *parts[1], *parts[2], *parts[3]};
    return true;
}

// `origin` is the sprite's position; without it the position is the rect's corner.
void ReadOrigin(Fields& f, SpriteDef& sprite) {
    const Json* v = f.Member("origin");
    if (v == nullptr) return;
    std::optional<int32_t> x, y;
    if (v->is_array() && v->size() == 2) {
        x = Fields::IntValue((*v)[0], kInt32Min / 2, kInt32Max / 2);
        y = Fields::IntValue((*v)[1], kInt32Min / 2, kInt32Max / 2);
    }
    if (!x || !y) {
        f.Fail("field 'origin' must be [x, y] integers");
        return;
    }
    sprite.offset_x = static_cast<int32_t>(int64_t{sprite.rect.x} - *x);
    sprite.offset_y = static_cast<int32_t>(int64_t{sprite.rect.y} - *y);
}

void ReadFont(const Json& object, SpriteDef& sprite, Fields& outer) {
    Fields f(object);
    FontDef font;
    font.family = f.String("family").value_or("");
    font.size = f.Number("size", 0, 1000).value_or(0);
    font.color = f.String("color").value_or("");
    const std::string align = f.String("align").value_or("left");
    if (align == "center") font.align = TextAlign::Center;
    else if (align == "right") font.align = TextAlign::Right;
    else if (align != "left") f.Fail("field 'align' must be left, center or right");
    font.wrap = f.Bool("wrap").value_or(false);
    if (!f.Ok()) {
        outer.Fail("font: " + f.Error());
        return;
    }
    sprite.font = std::move(font);
}

void ReadEdit(const Json* object, SpriteDef& sprite, Fields& outer) {
    EditDef edit;
    if (object != nullptr) {
        Fields f(*object);
        edit.max_length = f.Int("maxLength", 0, 65535).value_or(kDefaultEditMaxLength);
        edit.password = f.Bool("password").value_or(false);
        if (!f.Ok()) {
            outer.Fail("edit: " + f.Error());
            return;
        }
    }
    sprite.edit = edit;
}

void ReadEffects(Fields& f, SpriteDef& sprite) {
    const Json* effects = f.Object("effects");
    if (effects == nullptr) return;
    for (const auto& [name, look] : effects->items()) {
        if (!look.is_object()) {
            f.Fail("effect '" + name + "' must be an object");
            return;
        }
        sprite.effects.emplace_back(name, look);
    }
}

bool ReadKind(Fields& f, SpriteDef& sprite) {
    const std::optional<std::string> kind = f.String("kind");
    if (!f.Ok()) return false;
    const std::optional<SpriteKind> parsed = kind ? SpriteKindFromName(*kind) : std::nullopt;
    if (!parsed) {
        f.Fail(kind ? "unknown kind " + Quoted(*kind) : "field 'kind' is missing");
        return false;
    }
    sprite.kind = sprite.instance_kind = *parsed;
    if (sprite.kind != SpriteKind::Template) return true;
    const std::optional<std::string> of = f.String("of");
    const std::optional<SpriteKind> of_kind = of ? SpriteKindFromName(*of) : std::nullopt;
    if (!of_kind || *of_kind == SpriteKind::Template) {
        f.Fail("a template needs 'of': the kind of its instances");
        return false;
    }
    sprite.instance_kind = *of_kind;
    return true;
}

// The message for a failed sprite names it by position and, when known, by name.
std::optional<SpriteDef> ReadSprite(const Json& j, std::string& error) {
    const auto failed = [&error](std::string message) {
        error = std::move(message);
        return std::nullopt;
    };
    if (!j.is_object()) return failed("not an object");
    Fields f(j);
    SpriteDef s;
    const std::optional<std::string> name = f.Name("name");
    if (!f.Ok()) return failed(f.Error());
    if (!name) return failed("field 'name' is missing");
    s.name = *name;
    if (!ReadKind(f, s)) return failed(Quoted(s.name) + ": " + f.Error());
    const bool takes_input = s.instance_kind == SpriteKind::Button || s.instance_kind == SpriteKind::Edit;
    if (ReadRect(f, s.rect)) ReadOrigin(f, s);
    s.z = f.Int("z").value_or(10);
    s.visible = f.Bool("visible").value_or(true);
    s.interactive = f.Bool("interactive").value_or(takes_input);
    s.cover = f.Bool("cover").value_or(false);
    s.effect = f.String("effect").value_or(s.instance_kind == SpriteKind::Button ? "Up" : "");
    ReadEffects(f, s);
    s.text = f.String("text").value_or("");
    if (const Json* font = f.Object("font")) ReadFont(*font, s, f);
    const Json* edit = f.Object("edit");
    if (s.instance_kind == SpriteKind::Edit || edit != nullptr) ReadEdit(edit, s, f);
    s.duration = f.Int("duration", 0, kInt32Max).value_or(0);
    if (const Json* data = f.Member("data")) s.data = *data;
    if (!f.Ok()) return failed(Quoted(s.name) + ": " + f.Error());
    s.atom = AtomOf(s.name);
    if (s.atom == 0) return failed(Quoted(s.name) + ": no name atom left");
    return s;
}

void ReadSprites(const Json& list, SceneDef& scene, const SceneFileLimits& limits,
                 std::vector<std::string>& errors) {
    if (list.size() > limits.max_sprites) {
        errors.push_back(scene.source + ": more than " + std::to_string(limits.max_sprites) +
                         " sprites; the rest are left out");
    }
    std::set<std::string> names;
    const std::size_t count = std::min(list.size(), limits.max_sprites);
    for (std::size_t i = 0; i < count; ++i) {
        std::string error;
        std::optional<SpriteDef> sprite = ReadSprite(list[i], error);
        if (sprite && !names.insert(sprite->name).second) {
            error = Quoted(sprite->name) + ": a second sprite of that name";
            sprite.reset();
        }
        if (!sprite) {
            errors.push_back(scene.source + ": sprite " + std::to_string(i + 1) + " " + error +
                             "; sprite left out");
            continue;
        }
        scene.sprites.push_back(std::make_shared<const SpriteDef>(std::move(*sprite)));
    }
}

bool ReadSize(Fields& f, SceneDef& scene) {
    const Json* v = f.Member("size");
    if (v == nullptr) return true;
    const bool ok = v->is_array() && v->size() == 2 && Fields::IntValue((*v)[0], 1, 16384) &&
                    Fields::IntValue((*v)[1], 1, 16384);
    if (!ok) {
        f.Fail("field 'size' must be [width, height], each 1 to 16384");
        return false;
    }
    scene.width = (*v)[0].get<int32_t>();
    scene.height = (*v)[1].get<int32_t>();
    return true;
}

bool ReadScene(const Json& root, bool common, SceneDef& scene, std::string& error) {
    if (!root.is_object()) {
        error = "the file must hold one JSON object";
        return false;
    }
    Fields f(root);
    const std::optional<std::string> name = f.Name("scene");
    const std::optional<std::string> port = f.Name("eventPort");
    ReadSize(f, scene);
    if (const Json* background = f.Object("background")) scene.background = *background;
    scene.overlay = f.Bool("overlay").value_or(false);
    f.Array("sprites");
    if (f.Ok() && !name) f.Fail("field 'scene' is missing");
    if (f.Ok() && !port && !common) f.Fail("field 'eventPort' is missing");
    if (!f.Ok()) {
        error = f.Error();
        return false;
    }
    scene.name = *name;
    scene.atom = AtomOf(scene.name);
    scene.event_port_name = port.value_or("");
    scene.event_port = port ? AtomOf(*port) : 0;
    if (scene.atom != 0 && (!port || scene.event_port != 0)) return true;
    error = "no name atom left";
    return false;
}

std::optional<Json> ParseJson(std::string_view text, const std::string& source,
                              std::vector<std::string>& errors) {
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        const std::size_t offset = e.byte > 0 ? e.byte - 1 : 0;
        const LineColumn at = LineColumnAt(text, offset);
        errors.push_back(source + ":" + std::to_string(at.line) + ":" + std::to_string(at.column) +
                         ": " + SyntaxReason(e.what()));
    } catch (const Json::exception& e) {
        errors.push_back(source + ": " + e.what());
    }
    return std::nullopt;
}

}  // namespace

SceneFileResult ParseSceneFile(std::string_view text, std::string_view source, bool common,
                               const SceneFileLimits& limits) {
    SceneFileResult result;
    const std::string src(source);
    if (text.size() > limits.max_bytes) {
        result.errors.push_back(src + ": larger than " + std::to_string(limits.max_bytes) + " bytes");
        return result;
    }
    if (NestingDepth(text) > limits.max_depth) {
        result.errors.push_back(src + ": nested deeper than " + std::to_string(limits.max_depth) + " levels");
        return result;
    }
    std::optional<Json> root = ParseJson(text, src, result.errors);
    if (!root) return result;
    SceneDef scene;
    scene.source = src;
    std::string error;
    if (!ReadScene(*root, common, scene, error)) {
        result.errors.push_back(src + ": " + error + "; scene not loaded");
        return result;
    }
    if (auto it = root->find("sprites"); it != root->end()) ReadSprites(*it, scene, limits, result.errors);
    result.scene = std::move(scene);
    return result;
}

}  // namespace harbor
