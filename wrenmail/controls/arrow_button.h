// The scroll bar's arrow buttons: a bevelled square with a black triangle pointing one way.
#ifndef WRENMAIL_CONTROLS_ARROW_BUTTON_H
#define WRENMAIL_CONTROLS_ARROW_BUTTON_H

#include <cstdint>
#include <vector>

#include "controls/button.h"

namespace wm {

enum class ArrowKind { kUp, kLeft, kDown, kRight };

struct Segment {
    int32_t x1;
    int32_t y1;
    int32_t x2;
    int32_t y2;
};

// The triangle of a width x height arrow, one line per row (or column, across a horizontal arrow).
// The down look is the up look moved one pixel right and down, as if pressed in.
std::vector<Segment> ArrowTriangle(ArrowKind kind, bool up_look, int32_t width, int32_t height);

class PMArrowButton : public PMButton {
public:
    PMArrowButton(ArrowKind kind, int32_t x, int32_t y, int32_t size, uint16_t scene_port,
                  uint16_t event_port, int32_t depth);
    // Each look is painted once; a later request for it answers false.
    bool Draw(CanvasInterface& canvas, bool up) override;
    ArrowKind Kind() const { return kind_; }

private:
    ArrowKind kind_;
};

}  // namespace wm

#endif
