// The message types the scene service answers on AppPort and the scene ports, and the events it
// delivers to the scenes' event ports and KeyboardPort.
#ifndef HARBOR_SCENE_SCENE_CODES_H
#define HARBOR_SCENE_SCENE_CODES_H

#include <cstdint>

namespace harbor::scene_code {

// Requests
inline constexpr uint16_t kDelete = 30004;       // NAME: delete a sprite
inline constexpr uint16_t kEditText = 30008;     // GET + NAME: answer TEXT; NAME + TEXT: replace
inline constexpr uint16_t kGetText = 30011;      // NAME: answer TEXT
inline constexpr uint16_t kStart = 30013;        // AppPort: NAME = scene; scene: SPRITENAME (+INAME)
inline constexpr uint16_t kMove = 30020;         // NAME, X, Y
inline constexpr uint16_t kCoverUp = 30043;      // ALL: the cover is about to go up
inline constexpr uint16_t kSetEffect = 30044;    // NAME, FX
inline constexpr uint16_t kCoverDown = 30051;    // ALL: the cover is about to come down
inline constexpr uint16_t kSet = 30052;          // NAME with Z, TEXT, VISIBLE, FOCUS
inline constexpr uint16_t kGetRect = 30055;      // NAME: answer RX1, RY1, RX2, RY2
inline constexpr uint16_t kStop = 30059;         // AppPort: close an overlay scene; scene: hide
// Events
inline constexpr uint16_t kPointerMoved = 30019;  // X, Y
inline constexpr uint16_t kKeyPressed = 30024;    // KeyboardPort: KEY, ASCII, ALTKEY, SHIFTKEY, CTLKEY
inline constexpr uint16_t kCursor = 30027;        // ACTION, NAME, CNAME
inline constexpr uint16_t kEntered = 30032;
inline constexpr uint16_t kEditKey = 30033;       // NAME, KEY = TAB, ENTER or FOCUS
inline constexpr uint16_t kClick = 30035;         // NAME
inline constexpr uint16_t kPress = 30036;         // NAME, X, Y, COUNT
inline constexpr uint16_t kLeft = 30041;
inline constexpr uint16_t kSpriteReady = 30060;   // NAME
inline constexpr uint16_t kReleased = 30068;
inline constexpr uint16_t kModifiers = 30065;   // ALTKEY, SHIFTKEY, CTLKEY

}  // namespace harbor::scene_code

#endif
