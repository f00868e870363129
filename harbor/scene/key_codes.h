// Keys as the module knows them: Windows virtual-key codes with the US keyboard layout, which
// is what its key handlers compare against.
#ifndef HARBOR_SCENE_KEY_CODES_H
#define HARBOR_SCENE_KEY_CODES_H

#include <cstdint>
#include <optional>
#include <string_view>

namespace harbor {

enum class Key { Character, Tab, Enter, Backspace, Delete, Left, Right, Up, Down, Home, End, Escape, PageUp, PageDown };

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

struct KeyStroke {
    Key key = Key::Character;
    char character = 0;  // printable ASCII, for Key::Character
    Modifiers modifiers;
};

// The virtual-key code of a named key (0 for Key::Character).
int32_t VirtualKey(Key key);

// The virtual-key code of a printable ASCII character and whether Shift makes it; nothing for
// other characters.
struct CharacterKey {
    int32_t virtual_key = 0;
    bool shift = false;
};
std::optional<CharacterKey> VirtualKeyOf(char c);

// "Tab", "Enter", "Backspace", "Delete", "Left", "Right", "Up", "Down", "Home", "End",
// "Escape", "PageUp", "PageDown" (any case) or one printable character, after any of the
// prefixes "Ctrl+", "Shift+" and "Alt+" (any case), which hold those keys: "Ctrl+Home", "Ctrl+c".
std::optional<KeyStroke> KeyFromName(std::string_view name);

}  // namespace harbor

#endif
