#include "scene/scene_events.h"

#include "hxmsg.h"
#include "message_codes.h"

namespace harbor {

namespace {

EDict Record(uint16_t type) {
    EDict d;
    EDictClear(&d);
    EDictSetType(&d, type);
    d.time = static_cast<uint32_t>(HxNow());
    return d;
}

void Post(uint16_t port, const EDict& d) {
    if (port != 0) HxPortPost(port, &d, 0);
}

}  // namespace

void SceneEvents::Entered(uint16_t port) const { Post(port, Record(code::kEntered)); }

void SceneEvents::Left(uint16_t port) const { Post(port, Record(code::kLeft)); }

void SceneEvents::SpriteReady(uint16_t port, uint16_t sprite) const {
    EDict d = Record(code::kSpriteReady);
    EDictPutShort(&d, n_.name, sprite);
    Post(port, d);
}

void SceneEvents::EditKey(uint16_t port, uint16_t field, uint16_t key) const {
    EDict d = Record(code::kEditKey);
    EDictPutShort(&d, n_.name, field);
    EDictPutShort(&d, n_.key, key);
    Post(port, d);
}

void SceneEvents::Cursor(uint16_t port, uint16_t sprite, bool begin) const {
    EDict d = Record(code::kCursor);
    EDictPutShort(&d, n_.action, begin ? n_.begin : n_.end);
    EDictPutShort(&d, n_.name, sprite);
    EDictPutShort(&d, n_.cname, n_.cursor);
    Post(port, d);
}

void SceneEvents::Click(uint16_t port, uint16_t sprite) const {
    EDict d = Record(code::kClick);
    EDictPutShort(&d, n_.name, sprite);
    Post(port, d);
}

void SceneEvents::Press(uint16_t port, uint16_t sprite, int32_t x, int32_t y, int32_t count) const {
    EDict d = Record(code::kPress);
    EDictPutShort(&d, n_.name, sprite);
    EDictPutLong(&d, n_.x, x);
    EDictPutLong(&d, n_.y, y);
    EDictPutLong(&d, n_.count, count);
    Post(port, d);
}

void SceneEvents::Move(uint16_t port, int32_t x, int32_t y) const {
    EDict d = Record(code::kPointerMoved);
    EDictPutLong(&d, n_.x, x);
    EDictPutLong(&d, n_.y, y);
    Post(port, d);
}

void SceneEvents::Release(uint16_t port) const { Post(port, Record(code::kReleased)); }

void SceneEvents::Key(const KeyEvent& key) const {
    EDict d = Record(code::kKeyPressed);
    EDictPutLong(&d, n_.key, key.virtual_key);
    EDictPutLong(&d, n_.ascii, key.ascii);
    EDictPutBool(&d, n_.alt_key, key.alt);
    EDictPutBool(&d, n_.shift_key, key.shift);
    EDictPutBool(&d, n_.ctl_key, key.ctrl);
    Post(n_.keyboard_port, d);
}

void SceneEvents::ModifierKeys(uint16_t port, bool alt, bool shift, bool ctrl) const {
    EDict d = Record(code::kModifiers);
    EDictPutBool(&d, n_.alt_key, alt);
    EDictPutBool(&d, n_.shift_key, shift);
    EDictPutBool(&d, n_.ctl_key, ctrl);
    Post(port, d);
}

}  // namespace harbor
