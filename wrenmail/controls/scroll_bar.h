// A vertical or horizontal scroll bar painted by the module: a track with a bevelled thumb and two
// arrows. Its position runs from 0 to 10000; the page ratio is the content's size as a percentage
// of the visible size. It reports its position by posting aPMScrollChange to its event port.
#ifndef WRENMAIL_CONTROLS_SCROLL_BAR_H
#define WRENMAIL_CONTROLS_SCROLL_BAR_H

#include <cstdint>
#include <memory>

#include "controls/arrow_button.h"
#include "controls/control_base.h"
#include "controls/draw_request.h"
#include "controls/sprite_resources.h"

namespace wm {

struct ScrollBarGeometry {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    bool vertical;
    uint16_t scene_port;
    uint16_t event_port;
    uint16_t up_template;    // 0: the bar draws its own arrow
    uint16_t down_template;  // 0: the bar draws its own arrow
    bool arrows_apart;       // the first arrow before the track, the second after it
    int32_t depth;
};

struct Thumb {
    int32_t start;  // scene coordinate along the bar
    int32_t length;
};

inline constexpr uint32_t kScrollEnd = 10000;

class PMScroll : public PMControlBase {
public:
    explicit PMScroll(const ScrollBarGeometry& geometry);
    ~PMScroll() override;

    bool OwnsSprite(uint16_t atom) const override;
    void Show() override;
    void Hide() override;
    bool MouseDown(int32_t x, int32_t y, bool shift, bool ctrl) override;
    bool MouseUp(int32_t x, int32_t y, bool shift, bool ctrl) override;
    bool MouseMove(int32_t x, int32_t y) override;
    bool Key(int32_t key, bool shift, bool ctrl) override;
    void Message(EDict* record) override;

    // Table order after the control's thirteen operations.
    virtual uint32_t GetPosition() const;
    virtual bool IsUpArrowActive() const;
    virtual bool GetTouched() const;
    virtual bool GetVertical() const;
    virtual void StepUp();
    virtual void StepDown();
    virtual void SetPosition(uint32_t position);
    virtual void SetPageRatio(uint32_t ratio);
    virtual void SetStep(uint32_t step);
    virtual bool Draw(CanvasInterface& canvas);
    virtual void UpArrowPressed(uint32_t time);
    virtual void UpArrowReleased();
    virtual void DownArrowPressed(uint32_t time);
    virtual void DownArrowReleased();
    virtual void Tick(uint32_t time);
    virtual Thumb GetThumb() const;

    // The handler of "ScrollCanvasPort".
    static bool HXCALL PM_ScrollDraw(EDict* record);
    static DrawAnswer& DrawAnswers();

    uint16_t BarSprite() const { return bar_sprite_; }
    uint16_t UpArrow() const { return up_arrow_; }
    uint16_t DownArrow() const { return down_arrow_; }
    uint32_t PageRatio() const { return page_ratio_; }
    uint32_t Step() const { return step_; }
    bool Shown() const { return shown_; }
    bool Dirty() const { return dirty_; }
    bool Dragging() const { return dragging_; }

protected:
    bool Inert() const { return page_ratio_ <= 100; }
    uint32_t Page() const;
    void MoveBy(int64_t delta);
    void MarkChanged() {
        touched_ = true;
        dirty_ = true;
    }

private:
    struct ArrowPlace {
        int32_t x;
        int32_t y;
    };

    void MakeArrows(const ScrollBarGeometry& geometry);
    uint16_t MakeArrow(const ScrollBarGeometry& geometry, bool first, ArrowPlace place);
    void SetAllShown(bool shown);
    bool OverArrow(ArrowPlace place, int32_t x, int32_t y) const;
    int32_t Along(int32_t x, int32_t y) const { return vertical_ ? y : x; }
    int32_t TrackStart() const;
    int32_t TrackLength() const;
    void DrawThumb(CanvasInterface& canvas);
    void PostChange();

    uint32_t arrow_size_;
    bool vertical_;
    bool shown_ = true;
    bool dirty_ = true;
    bool dragging_ = false;
    bool touched_ = false;
    bool up_held_ = false;
    bool down_held_ = false;
    bool first_repeat_ = false;
    bool over_held_arrow_ = false;
    uint32_t last_repeat_time_ = 0;
    uint16_t up_arrow_ = 0;
    uint16_t down_arrow_ = 0;
    uint16_t bar_sprite_ = 0;
    CanvasSprite canvas_{};
    std::unique_ptr<PMArrowButton> up_button_;
    std::unique_ptr<PMArrowButton> down_button_;
    uint32_t position_ = 0;
    uint32_t page_ratio_ = 0;
    uint32_t step_ = 10;
    int32_t drag_offset_y_ = 0;
    int32_t drag_offset_x_ = 0;
    ArrowPlace up_place_{};
    ArrowPlace down_place_{};
};

}  // namespace wm

#endif
