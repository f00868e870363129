// A drawn button: a host sprite with an up and a down look, each painted by the module through its
// own canvas port. The host switches looks while the button is pressed; the object only draws.
#ifndef WRENMAIL_CONTROLS_BUTTON_H
#define WRENMAIL_CONTROLS_BUTTON_H

#include <cstddef>
#include <cstdint>

#include "canvas.h"
#include "edict.h"

namespace wm {

class PMButton {
public:
    PMButton(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t scene_port,
             uint16_t event_port, int32_t depth);
    PMButton(const PMButton&) = delete;
    PMButton& operator=(const PMButton&) = delete;

    // Table order: destructor, then draw.
    virtual ~PMButton();
    // Paints the up or the down look; true when the picture changed.
    virtual bool Draw(CanvasInterface& canvas, bool up);

    uint16_t Sprite() const { return sprite_; }
    uint16_t EventPort() const { return event_port_; }

    // The handlers of the two canvas ports.
    static bool DrawUp(EDict* record);
    static bool DrawDown(EDict* record);
    static PMButton* FindBySprite(uint16_t sprite);
    static std::size_t LiveCount();

protected:
    uint16_t sprite_ = 0;
    uint16_t up_effect_ = 0;
    uint16_t down_effect_ = 0;
    uint16_t up_bitmap_ = 0;
    uint16_t down_bitmap_ = 0;
    uint16_t scene_port_;
    uint16_t event_port_;
    bool up_drawn_ = false;
    bool down_drawn_ = false;
};

}  // namespace wm

#endif
