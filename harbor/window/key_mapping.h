// SDL's keys as the scene service takes them. Printable characters normally arrive as text
// input (which knows the keyboard layout), so a character key counts here only with Ctrl or Alt
// held, when no text is produced; the named keys always count.
#ifndef HARBOR_WINDOW_KEY_MAPPING_H
#define HARBOR_WINDOW_KEY_MAPPING_H

#include <SDL_keycode.h>

#include <cstdint>

#include "scene/key_codes.h"

namespace harbor {

struct KeyAction {
    enum class Kind {
        Ignore,      // nothing to deliver (text input carries it, or no such key)
        Named,       // `key`
        Character,   // `character`, printable ASCII
        CloseWindow  // Alt+F4: the close request, also where no window manager takes it
    };
    Kind kind = Kind::Ignore;
    Key key = Key::Character;
    char character = 0;
    Modifiers modifiers;
};

Modifiers ModifiersFromSdl(uint16_t sdl_mod);

// A key pressed (or repeated) with SDL's modifier state at the time.
KeyAction MapKeyDown(SDL_Keycode key, uint16_t sdl_mod);

}  // namespace harbor

#endif
