#include "window/key_mapping.h"

#include <array>

namespace harbor {

namespace {

struct NamedSdlKey {
    SDL_Keycode sdl;
    Key key;
};

constexpr std::array<NamedSdlKey, 15> kNamed{{
    {SDLK_ESCAPE, Key::Escape},
    {SDLK_TAB, Key::Tab},
    {SDLK_RETURN, Key::Enter},
    {SDLK_RETURN2, Key::Enter},
    {SDLK_KP_ENTER, Key::Enter},
    {SDLK_BACKSPACE, Key::Backspace},
    {SDLK_DELETE, Key::Delete},
    {SDLK_LEFT, Key::Left},
    {SDLK_RIGHT, Key::Right},
    {SDLK_UP, Key::Up},
    {SDLK_DOWN, Key::Down},
    {SDLK_HOME, Key::Home},
    {SDLK_END, Key::End},
    {SDLK_PAGEUP, Key::PageUp},
    {SDLK_PAGEDOWN, Key::PageDown},
}};

// The keypad's second meaning, with Num Lock off; with it on the keypad types digits as text.
constexpr std::array<NamedSdlKey, 9> kKeypad{{
    {SDLK_KP_4, Key::Left},
    {SDLK_KP_6, Key::Right},
    {SDLK_KP_8, Key::Up},
    {SDLK_KP_2, Key::Down},
    {SDLK_KP_7, Key::Home},
    {SDLK_KP_1, Key::End},
    {SDLK_KP_9, Key::PageUp},
    {SDLK_KP_3, Key::PageDown},
    {SDLK_KP_PERIOD, Key::Delete},
}};

template <std::size_t N>
const NamedSdlKey* Find(const std::array<NamedSdlKey, N>& table, SDL_Keycode key) {
    for (const NamedSdlKey& k : table) {
        if (k.sdl == key) return &k;
    }
    return nullptr;
}

KeyAction Named(Key key, Modifiers modifiers) {
    KeyAction action;
    action.kind = KeyAction::Kind::Named;
    action.key = key;
    action.modifiers = modifiers;
    return action;
}

// SDL names printable keys by their unshifted US character.
bool IsPrintable(SDL_Keycode key) { return key >= SDLK_SPACE && key <= SDLK_z; }

}  // namespace

Modifiers ModifiersFromSdl(uint16_t sdl_mod) {
    Modifiers m;
    m.shift = (sdl_mod & KMOD_SHIFT) != 0;
    m.ctrl = (sdl_mod & KMOD_CTRL) != 0;
    m.alt = (sdl_mod & KMOD_ALT) != 0;
    return m;
}

KeyAction MapKeyDown(SDL_Keycode key, uint16_t sdl_mod) {
    const Modifiers modifiers = ModifiersFromSdl(sdl_mod);
    if (key == SDLK_F4 && modifiers.alt) return KeyAction{KeyAction::Kind::CloseWindow, Key::Character, 0, modifiers};
    if (const NamedSdlKey* k = Find(kNamed, key)) return Named(k->key, modifiers);
    if ((sdl_mod & KMOD_NUM) == 0) {
        if (const NamedSdlKey* k = Find(kKeypad, key)) return Named(k->key, modifiers);
    }
    if (!IsPrintable(key) || (!modifiers.ctrl && !modifiers.alt)) return {};
    KeyAction action;
    action.kind = KeyAction::Kind::Character;
    action.character = static_cast<char>(key);
    if (modifiers.shift && key >= SDLK_a && key <= SDLK_z) action.character = static_cast<char>(key - SDLK_a + 'A');
    action.modifiers = modifiers;
    return action;
}

}  // namespace harbor
