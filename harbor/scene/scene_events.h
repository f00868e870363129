// The records the scene service delivers: scene entered and left, sprite ready, edit field
// keys, pointer events and keys for KeyboardPort. Each is posted with delay 0 and carries the
// clock in its time word, so events keep their order and no handler runs inside the service.
#ifndef HARBOR_SCENE_SCENE_EVENTS_H
#define HARBOR_SCENE_SCENE_EVENTS_H

#include <cstdint>

#include "scene/scene_names.h"

namespace harbor {

struct KeyEvent {
    int32_t virtual_key = 0;
    int32_t ascii = 0;
    bool alt = false;
    bool shift = false;
    bool ctrl = false;
};

class SceneEvents {
public:
    explicit SceneEvents(const SceneNames& names) : n_(names) {}

    void Entered(uint16_t port) const;
    void Left(uint16_t port) const;
    void SpriteReady(uint16_t port, uint16_t sprite) const;
    void EditKey(uint16_t port, uint16_t field, uint16_t key) const;
    void Cursor(uint16_t port, uint16_t sprite, bool begin) const;
    void Click(uint16_t port, uint16_t sprite) const;
    void Press(uint16_t port, uint16_t sprite, int32_t x, int32_t y, int32_t count) const;
    void Move(uint16_t port, int32_t x, int32_t y) const;
    void Release(uint16_t port) const;
    void Key(const KeyEvent& key) const;
    void ModifierKeys(uint16_t port, bool alt, bool shift, bool ctrl) const;

private:
    const SceneNames& n_;
};

}  // namespace harbor

#endif
