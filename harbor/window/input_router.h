// The window's input events as the scene service takes them: the pointer mapped from window to
// stage pixels through the letterbox, keys and text. Everything it hands on is posted; the caller
// delivers it (Session::Settle).
#ifndef HARBOR_WINDOW_INPUT_ROUTER_H
#define HARBOR_WINDOW_INPUT_ROUTER_H

#include <SDL_events.h>

#include <optional>

#include "scene/scene_service.h"
#include "window/letterbox.h"

namespace harbor {

class InputRouter {
public:
    enum class Outcome { Ignored, Delivered, CloseRequested };

    explicit InputRouter(SceneService& scenes) : scenes_(scenes) {}

    // `box` places the stage in output pixels; `pixel_ratio` is output pixels per window unit
    // (above 1 on high-density screens), since SDL reports the pointer in window units.
    Outcome Handle(const SDL_Event& event, const Letterbox& box, double pixel_ratio = 1.0);

    // The press count the module expects: 2 for a double click, 1 otherwise; a third click
    // starts over, as a click after a double click does on the system the module knows.
    static int32_t PressCount(uint8_t sdl_clicks);

private:
    Outcome Button(const SDL_MouseButtonEvent& e, StagePoint at, bool down);
    Outcome KeyDown(const SDL_KeyboardEvent& e);
    // The pointer over a sprite, no button held: the cursor notices a real pointer gives when it
    // comes over a sprite and leaves it, so buttons show their hover look. Null: nothing hovered.
    void Hover(std::optional<Hit> now);

    SceneService& scenes_;
    bool left_down_ = false;
    std::optional<Hit> hovered_;
};

}  // namespace harbor

#endif
