// Drawing helpers shared by every painted control.
#ifndef WRENMAIL_CONTROLS_CANVAS_DRAWING_H
#define WRENMAIL_CONTROLS_CANVAS_DRAWING_H

#include <cstdint>

#include "canvas.h"

namespace wm {

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

inline constexpr Rgb kTransparentGreen{0, 255, 0};

struct Box {
    float left;
    float top;
    float right;
    float bottom;
};

void SetColour(CanvasInterface& canvas, Rgb colour);

// Adds the rectangle spanned by the two corners (in either order) and fills or strokes it. The
// answer is the area the pen may have touched: the rectangle grown by twice the pen width.
Box DrawRectangle(CanvasInterface& canvas, float x1, float y1, float x2, float y2, float pen,
                  bool fill);

void FillCanvas(CanvasInterface& canvas, Rgb colour);
void DrawLine(CanvasInterface& canvas, float x1, float y1, float x2, float y2);

}  // namespace wm

#endif
