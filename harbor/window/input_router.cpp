#include "window/input_router.h"

#include "window/key_mapping.h"

namespace harbor {

namespace {

StagePoint Mapped(const Letterbox& box, double pixel_ratio, int32_t x, int32_t y) {
    // The pointer sits on a window pixel; its centre decides the stage pixel.
    return ToStage(box, (x + 0.5) * pixel_ratio, (y + 0.5) * pixel_ratio);
}

// Shift, Ctrl and Alt pressed or released on their own: controls read them for the next click.
bool IsModifierKey(SDL_Keycode key) {
    return key == SDLK_LSHIFT || key == SDLK_RSHIFT || key == SDLK_LCTRL || key == SDLK_RCTRL || key == SDLK_LALT ||
           key == SDLK_RALT;
}

}  // namespace

int32_t InputRouter::PressCount(uint8_t sdl_clicks) { return sdl_clicks % 2 == 0 && sdl_clicks > 0 ? 2 : 1; }

InputRouter::Outcome InputRouter::Handle(const SDL_Event& event, const Letterbox& box, double pixel_ratio) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return Button(event.button, Mapped(box, pixel_ratio, event.button.x, event.button.y),
                          event.type == SDL_MOUSEBUTTONDOWN);
        case SDL_MOUSEMOTION: {
            const StagePoint at = Mapped(box, pixel_ratio, event.motion.x, event.motion.y);
            // Off the stage only a held button's drag goes on.
            if (!OnStage(at) && !left_down_) {
                Hover(std::nullopt);
                return Outcome::Ignored;
            }
            scenes_.PointerMove(at.x, at.y);
            if (!left_down_) Hover(scenes_.HitTest(at.x, at.y));
            return Outcome::Delivered;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            // SDL's modifier state already includes the key's own press or release.
            if (IsModifierKey(event.key.keysym.sym)) {
                scenes_.HoldModifiers(ModifiersFromSdl(event.key.keysym.mod));
                return Outcome::Delivered;
            }
            return event.type == SDL_KEYDOWN ? KeyDown(event.key) : Outcome::Ignored;
        case SDL_TEXTINPUT: scenes_.TypeText(event.text.text); return Outcome::Delivered;
        default: return Outcome::Ignored;
    }
}

InputRouter::Outcome InputRouter::Button(const SDL_MouseButtonEvent& e, StagePoint at, bool down) {
    if (e.button != SDL_BUTTON_LEFT) return Outcome::Ignored;
    if (down) {
        // A press in the bars presses nothing, but its release still belongs to it.
        left_down_ = true;
        if (OnStage(at)) scenes_.PointerDown(at.x, at.y, PressCount(e.clicks));
        return Outcome::Delivered;
    }
    if (!left_down_) return Outcome::Ignored;
    left_down_ = false;
    hovered_.reset();  // the release ends the cursor over the pressed sprite; the next move begins anew
    scenes_.PointerUp(at.x, at.y);
    return Outcome::Delivered;
}

void InputRouter::Hover(std::optional<Hit> now) {
    const bool same = now && hovered_ && now->scene == hovered_->scene && now->sprite == hovered_->sprite;
    if (same || (!now && !hovered_)) return;
    if (hovered_) scenes_.CursorEnd(hovered_->sprite);
    if (now) scenes_.CursorBegin(now->sprite);
    hovered_ = now;
}

InputRouter::Outcome InputRouter::KeyDown(const SDL_KeyboardEvent& e) {
    const KeyAction action = MapKeyDown(e.keysym.sym, e.keysym.mod);
    switch (action.kind) {
        case KeyAction::Kind::Named: scenes_.PressKey(action.key, action.modifiers); return Outcome::Delivered;
        case KeyAction::Kind::Character: scenes_.KeyChar(action.character, action.modifiers); return Outcome::Delivered;
        case KeyAction::Kind::CloseWindow: return Outcome::CloseRequested;
        case KeyAction::Kind::Ignore: return Outcome::Ignored;
    }
    return Outcome::Ignored;
}

}  // namespace harbor
