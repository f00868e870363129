#include "controls/canvas_drawing.h"

#include <algorithm>
#include <cmath>

namespace wm {

void SetColour(CanvasInterface& canvas, Rgb colour) {
    canvas.SetColor(colour.red, colour.green, colour.blue);
}

Box DrawRectangle(CanvasInterface& canvas, float x1, float y1, float x2, float y2, float pen,
                  bool fill) {
    const float left = std::min(x1, x2);
    const float top = std::min(y1, y2);
    const float width = std::fabs(x2 - x1);
    const float height = std::fabs(y2 - y1);
    canvas.SetPenWidth(pen);
    canvas.Rectangle(left, top, width, height);
    if (fill) {
        canvas.Fill();
    } else {
        canvas.Stroke();
    }
    const float grow = 2.0f * pen;
    return Box{left - grow, top - grow, left + width + grow, top + height + grow};
}

void FillCanvas(CanvasInterface& canvas, Rgb colour) {
    const CanvasSize size = canvas.Size();
    SetColour(canvas, colour);
    DrawRectangle(canvas, 0.0f, 0.0f, static_cast<float>(size.width),
                  static_cast<float>(size.height), 1.0f, true);
}

void DrawLine(CanvasInterface& canvas, float x1, float y1, float x2, float y2) {
    canvas.SetPenWidth(1.0f);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
    canvas.Stroke();
}

}  // namespace wm
