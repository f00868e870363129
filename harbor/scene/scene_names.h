// The name atoms the scene service reads and writes, fetched once per service.
#ifndef HARBOR_SCENE_SCENE_NAMES_H
#define HARBOR_SCENE_SCENE_NAMES_H

#include <cstdint>
#include <string>

namespace harbor {

// The atom of a name (0 for an empty name or when atoms run out).
uint16_t Atom(const char* name);
// The name of an atom for messages: its text, or "#n" when the atom is unknown.
std::string AtomName(uint16_t atom);

struct SceneNames {
    SceneNames();

    // Ports
    uint16_t app_port, keyboard_port;
    // Request keys
    uint16_t name, sprite_name, iname, x, y, z, visible, notify, text, focus, fx, get, all,
        interactive, forced_update, rx1, ry1, rx2, ry2;
    // Event keys and values
    uint16_t key, tab, enter, action, begin, end, cname, cursor, count, ascii, alt_key,
        shift_key, ctl_key;
};

}  // namespace harbor

#endif
