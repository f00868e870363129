// The input half of the scene service: pointer hit-testing and delivery, edit field typing and
// keys for KeyboardPort.
#include <algorithm>
#include <limits>

#include "scene/scene_service.h"

namespace harbor {

namespace {

int32_t Centre(int32_t start, int32_t extent) {
    return static_cast<int32_t>(std::min<int64_t>(int64_t{start} + extent / 2, std::numeric_limits<int32_t>::max()));
}

bool IsAsciiPrintable(char c) { return c >= 32 && c < 127; }

// The byte length of the UTF-8 sequence that starts with `lead` (1 for stray bytes).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

// --- Pointer ----------------------------------------------------------------------------------

std::optional<Hit> SceneService::HitTest(int32_t x, int32_t y) const {
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
        const SceneState* state = State(*it);
        if (state == nullptr) continue;
        if (const Sprite* s = state->HitTest(x, y)) return Hit{*it, s->name};
        if (!state->Def().overlay || state->CoverUp()) break;
    }
    return std::nullopt;
}

bool SceneService::PointerDown(int32_t x, int32_t y, int32_t count) {
    pressed_.reset();
    const std::optional<Hit> hit = HitTest(x, y);
    if (!hit) return false;
    SceneState& scene = *State(hit->scene);
    Sprite& s = *scene.Find(hit->sprite);
    if (s.IsEdit()) TakeFocus(scene, s);
    // A rich text is typed into through KeyboardPort: pressing it takes the keyboard from a field.
    if (s.kind == SpriteKind::RichText) scene.SetFocus(0);
    events_.Cursor(scene.Def().event_port, s.name, true);
    events_.Press(scene.Def().event_port, s.name, x, y, count);
    pressed_ = hit;
    return true;
}

void SceneService::PointerUp(int32_t x, int32_t y) {
    const std::optional<Hit> was = pressed_;
    pressed_.reset();
    const SceneState* scene = was ? State(was->scene) : nullptr;
    if (scene == nullptr) return Release();
    const uint16_t port = scene->Def().event_port;
    events_.Cursor(port, was->sprite, false);
    events_.Release(port);
    const std::optional<Hit> now = HitTest(x, y);
    if (now && now->scene == was->scene && now->sprite == was->sprite) events_.Click(port, was->sprite);
}

void SceneService::PointerMove(int32_t x, int32_t y) {
    if (const SceneState* top = Top()) events_.Move(top->Def().event_port, x, y);
}

bool SceneService::ClickSprite(uint16_t sprite) {
    Sprite* s = InputSprite(sprite, "click");
    if (s == nullptr) return false;
    SceneState& scene = *Top();
    const uint16_t port = scene.Def().event_port;
    if (s->IsEdit()) TakeFocus(scene, *s);
    if (s->kind == SpriteKind::RichText) scene.SetFocus(0);
    // The pointer arrives at the sprite before it presses, as a real mouse's does.
    const int32_t x = Centre(s->rect.x, s->rect.width);
    const int32_t y = Centre(s->rect.y, s->rect.height);
    events_.Move(port, x, y);
    events_.Cursor(port, sprite, true);
    events_.Press(port, sprite, x, y, 1);
    events_.Cursor(port, sprite, false);
    events_.Release(port);
    events_.Click(port, sprite);
    return true;
}

bool SceneService::CursorBegin(uint16_t sprite) {
    if (InputSprite(sprite, "cursor") == nullptr) return false;
    events_.Cursor(Top()->Def().event_port, sprite, true);
    return true;
}

bool SceneService::CursorEnd(uint16_t sprite) {
    if (InputSprite(sprite, "cursor") == nullptr) return false;
    events_.Cursor(Top()->Def().event_port, sprite, false);
    return true;
}

void SceneService::Release() {
    if (const SceneState* top = Top()) events_.Release(top->Def().event_port);
}

Sprite* SceneService::InputSprite(uint16_t sprite, const char* what) {
    SceneState* top = Top();
    Sprite* s = top != nullptr ? top->Find(sprite) : nullptr;
    if (s == nullptr) {
        Note(std::string(what) + ": no sprite '" + AtomName(sprite) + "' in the current scene");
        return nullptr;
    }
    if (!top->TakesInput(*s)) {
        Note(std::string(what) + ": '" + AtomName(sprite) + "' takes no input now (hidden, not interactive or under the cover)");
        return nullptr;
    }
    return s;
}

void SceneService::TakeFocus(SceneState& scene, Sprite& field) {
    if (scene.Focus() == field.name) return;
    scene.SetFocus(field.name);
    field.text.End();
    scene.Touch();
    events_.EditKey(scene.Def().event_port, field.name, names_.focus);
}

// --- Keys -------------------------------------------------------------------------------------

bool SceneService::PressKey(Key key, Modifiers modifiers) { return PressStroke(KeyStroke{key, 0, modifiers}); }

bool SceneService::KeyChar(char c, Modifiers modifiers) { return PressStroke(KeyStroke{Key::Character, c, modifiers}); }

bool SceneService::KeyByName(std::string_view name, Modifiers modifiers) {
    std::optional<KeyStroke> stroke = KeyFromName(name);
    if (!stroke) {
        Note("key: no key named '" + std::string(name) + "'");
        return false;
    }
    // Held keys add to those the name gives ("Ctrl+Home").
    stroke->modifiers.shift = stroke->modifiers.shift || modifiers.shift;
    stroke->modifiers.ctrl = stroke->modifiers.ctrl || modifiers.ctrl;
    stroke->modifiers.alt = stroke->modifiers.alt || modifiers.alt;
    return PressStroke(*stroke);
}

bool SceneService::PressStroke(const KeyStroke& stroke) {
    if (stroke.key == Key::Character && !VirtualKeyOf(stroke.character)) return false;
    SceneState* top = Top();
    Sprite* field = top != nullptr ? top->TypingField() : nullptr;
    const bool plain = !stroke.modifiers.ctrl && !stroke.modifiers.alt;
    if (field != nullptr && plain && EditFocused(*top, *field, stroke)) return true;
    ToKeyboardPort(stroke);
    return true;
}

bool SceneService::EditFocused(SceneState& scene, Sprite& field, const KeyStroke& stroke) {
    EditText& text = field.text;
    switch (stroke.key) {
        case Key::Character: text.Insert(std::string_view(&stroke.character, 1)); break;
        case Key::Backspace: text.Backspace(); break;
        case Key::Delete: text.Delete(); break;
        case Key::Left: text.Left(); break;
        case Key::Right: text.Right(); break;
        case Key::Home: text.Home(); break;
        case Key::End: text.End(); break;
        case Key::Tab: events_.EditKey(scene.Def().event_port, field.name, names_.tab); return true;
        case Key::Enter: events_.EditKey(scene.Def().event_port, field.name, names_.enter); return true;
        default: return false;
    }
    scene.Touch();
    return true;
}

void SceneService::ToKeyboardPort(const KeyStroke& stroke) {
    KeyEvent e;
    e.alt = stroke.modifiers.alt;
    e.ctrl = stroke.modifiers.ctrl;
    e.shift = stroke.modifiers.shift;
    if (stroke.key == Key::Character) {
        const CharacterKey k = *VirtualKeyOf(stroke.character);
        e.virtual_key = k.virtual_key;
        e.shift = e.shift || k.shift;
        e.ascii = static_cast<unsigned char>(stroke.character);
    } else {
        e.virtual_key = VirtualKey(stroke.key);
    }
    events_.Key(e);
}

void SceneService::HoldModifiers(Modifiers held) {
    if (held.alt == held_.alt && held.shift == held_.shift && held.ctrl == held_.ctrl) return;
    held_ = held;
    if (const SceneState* top = Top()) events_.ModifierKeys(top->Def().event_port, held.alt, held.shift, held.ctrl);
}

void SceneService::TypeText(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\t') {
            PressKey(Key::Tab);
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
            PressKey(Key::Enter);
        } else if (IsAsciiPrintable(c)) {
            KeyChar(c);
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            // No key code exists for these: they can only be typed into a field.
            const std::size_t n = std::min(SequenceLength(static_cast<unsigned char>(c)), utf8.size() - i);
            SceneState* top = Top();
            if (Sprite* field = top != nullptr ? top->TypingField() : nullptr) {
                field->text.Insert(utf8.substr(i, n));
                top->Touch();
            }
            i += n - 1;
        }
    }
}

}  // namespace harbor
