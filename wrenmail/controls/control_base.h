// The common base of the painted controls: the rectangle, the two ports, the colours, and the
// process-wide list through which the host's mouse, keyboard and timer messages reach them.
#ifndef WRENMAIL_CONTROLS_CONTROL_BASE_H
#define WRENMAIL_CONTROLS_CONTROL_BASE_H

#include <cstddef>
#include <cstdint>

#include "controls/canvas_drawing.h"
#include "edict.h"
#include "hxcall.h"

namespace wm {

class PMControlBase {
public:
    PMControlBase(uint32_t left, uint32_t top, uint32_t width, uint32_t height,
                  uint16_t scene_port, uint16_t event_port);
    PMControlBase(const PMControlBase&) = delete;
    PMControlBase& operator=(const PMControlBase&) = delete;

    // The table order below is fixed: the event routing reaches controls by these positions.
    virtual uint32_t GetLeft() const;
    virtual uint32_t GetTop() const;
    virtual uint32_t GetWidth() const;
    virtual uint32_t GetHeight() const;
    virtual bool OwnsSprite(uint16_t atom) const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool MouseDown(int32_t x, int32_t y, bool shift, bool ctrl) = 0;
    virtual bool MouseUp(int32_t x, int32_t y, bool shift, bool ctrl) = 0;
    virtual bool MouseMove(int32_t x, int32_t y) = 0;
    virtual bool Key(int32_t key, bool shift, bool ctrl) = 0;
    virtual void Message(EDict* record) = 0;
    virtual ~PMControlBase();

    // Handler of every control's event port, KeyboardPort and TimerPortTick; always true.
    static bool HXCALL PM_ControlEvents(EDict* record);
    // The newest live control that owns the sprite, or none.
    static PMControlBase* FindBySprite(uint16_t atom);
    static PMControlBase* Captured();
    static std::size_t LiveCount();

    // Whether the host's messages reach the control. A control is built and taken down with
    // sends to the host, which may deliver messages meanwhile: it is made routable once it is
    // whole and stops being so before its teardown begins.
    void SetRoutable(bool routable);
    bool Routable() const { return routable_; }

    uint16_t ScenePort() const { return scene_port_; }
    uint16_t EventPort() const { return event_port_; }

protected:
    // A geometry value as the unsigned position or size the base keeps: a negative one becomes 0.
    static uint32_t NotNegative(int32_t value) { return value < 0 ? 0U : static_cast<uint32_t>(value); }
    uint32_t left_;
    uint32_t top_;
    uint32_t width_;
    uint32_t height_;
    uint16_t scene_port_;
    uint16_t event_port_;
    Rgb highlight_{255, 255, 255};
    Rgb shadow_{0, 0, 0};
    Rgb face_{204, 204, 204};
    Rgb dark_{160, 160, 164};
    Rgb text_{0, 0, 0};

private:
    bool routable_ = false;
};

}  // namespace wm

#endif
