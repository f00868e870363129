#include "scene/key_codes.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace harbor {

namespace {

struct NamedKey {
    std::string_view name;
    Key key;
    int32_t virtual_key;
};

constexpr std::array<NamedKey, 15> kNamedKeys{{
    {"tab", Key::Tab, 9},
    {"enter", Key::Enter, 13},
    {"return", Key::Enter, 13},
    {"backspace", Key::Backspace, 8},
    {"delete", Key::Delete, 46},
    {"left", Key::Left, 37},
    {"right", Key::Right, 39},
    {"up", Key::Up, 38},
    {"down", Key::Down, 40},
    {"home", Key::Home, 36},
    {"end", Key::End, 35},
    {"escape", Key::Escape, 27},
    {"esc", Key::Escape, 27},
    {"pageup", Key::PageUp, 33},
    {"pagedown", Key::PageDown, 34},
}};

// Punctuation keys of the US layout: the character without and with Shift, and the key's code.
struct Punctuation {
    char plain;
    char shifted;
    int32_t virtual_key;
};

constexpr std::array<Punctuation, 11> kPunctuation{{
    {';', ':', 186},
    {'=', '+', 187},
    {',', '<', 188},
    {'-', '_', 189},
    {'.', '>', 190},
    {'/', '?', 191},
    {'`', '~', 192},
    {'[', '{', 219},
    {'\\', '|', 220},
    {']', '}', 221},
    {'\'', '"', 222},
}};

constexpr std::string_view kShiftedDigits = ")!@#$%^&*(";

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == y;
           });
}

}  // namespace

int32_t VirtualKey(Key key) {
    for (const NamedKey& k : kNamedKeys) {
        if (k.key == key) return k.virtual_key;
    }
    return 0;
}

std::optional<CharacterKey> VirtualKeyOf(char c) {
    if (c >= 'a' && c <= 'z') return CharacterKey{c - 'a' + 'A', false};
    if (c >= 'A' && c <= 'Z') return CharacterKey{c, true};
    if (c >= '0' && c <= '9') return CharacterKey{c, false};
    if (c == ' ') return CharacterKey{32, false};
    if (std::size_t i = kShiftedDigits.find(c); i != std::string_view::npos) {
        return CharacterKey{static_cast<int32_t>('0' + i), true};
    }
    for (const Punctuation& p : kPunctuation) {
        if (c == p.plain) return CharacterKey{p.virtual_key, false};
        if (c == p.shifted) return CharacterKey{p.virtual_key, true};
    }
    return std::nullopt;
}

namespace {

// Takes a leading "Ctrl+", "Shift+" or "Alt+" (any case) off `name` into `held`.
bool TakeModifier(std::string_view& name, Modifiers& held) {
    const std::size_t plus = name.find('+');
    if (plus == std::string_view::npos || plus + 1 == name.size()) return false;
    const std::string_view prefix = name.substr(0, plus);
    if (SameLetters(prefix, "ctrl")) held.ctrl = true;
    else if (SameLetters(prefix, "shift")) held.shift = true;
    else if (SameLetters(prefix, "alt")) held.alt = true;
    else return false;
    name.remove_prefix(plus + 1);
    return true;
}

std::optional<KeyStroke> PlainKeyFromName(std::string_view name) {
    if (name.size() == 1 && VirtualKeyOf(name[0])) {
        KeyStroke k;
        k.character = name[0];
        return k;
    }
    for (const NamedKey& k : kNamedKeys) {
        if (SameLetters(name, k.name)) return KeyStroke{k.key, 0, {}};
    }
    return std::nullopt;
}

}  // namespace

std::optional<KeyStroke> KeyFromName(std::string_view name) {
    Modifiers held;
    while (TakeModifier(name, held)) {
    }
    std::optional<KeyStroke> stroke = PlainKeyFromName(name);
    if (stroke) stroke->modifiers = held;
    return stroke;
}

}  // namespace harbor
