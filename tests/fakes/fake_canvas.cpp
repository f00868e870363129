#include "fake_canvas.h"

#include <algorithm>
#include <cstring>

namespace wm::testing {

bool SameColour(Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

void FakeCanvas::PenPosition(float* x, float* y) {
    Record("PenPosition", {});
    *x = pen_x_;
    *y = pen_y_;
}

void FakeCanvas::GetSize(int32_t* width, int32_t* height) {
    Record("GetSize", {});
    *width = width_;
    *height = height_;
}

CanvasSize FakeCanvas::Size() {
    Record("Size", {});
    return CanvasSize{width_, height_};
}

void FakeCanvas::LineTo(float x, float y) {
    Record("LineTo", {x, y});
    path_.push_back(Painted{false, pen_x_, pen_y_, x, y, colour_});
    pen_x_ = x;
    pen_y_ = y;
}

void FakeCanvas::MoveTo(float x, float y) {
    Record("MoveTo", {x, y});
    pen_x_ = x;
    pen_y_ = y;
}

void FakeCanvas::Rectangle(float x, float y, float width, float height) {
    Record("Rectangle", {x, y, width, height});
    path_.push_back(Painted{true, x, y, x + width, y + height, colour_});
}

void FakeCanvas::SetColor(uint8_t red, uint8_t green, uint8_t blue) {
    colour_ = Rgb{red, green, blue};
    Record("SetColor", {float(red), float(green), float(blue)});
}

void FakeCanvas::DrawText(const char* text) {
    Record("DrawText", {pen_x_, pen_y_}, text);
    pen_x_ += 7.0f * static_cast<float>(std::strlen(text));
}

void FakeCanvas::MeasureText(const char* text, float* width, float* height) {
    Record("MeasureText", {}, text);
    *width = 7.0f * static_cast<float>(std::strlen(text));
    *height = 12.0f;
}

void FakeCanvas::MeasureTextInt(const char* text, int32_t* width, int32_t* height) {
    Record("MeasureTextInt", {}, text);
    *width = 7 * static_cast<int32_t>(std::strlen(text));
    *height = 12;
}

void FakeCanvas::EndPath(const char* name, bool fill) {
    Record(name, {});
    for (Painted p : path_) {
        p.filled = p.filled && fill;
        paint_.push_back(p);
    }
    path_.clear();
}

std::vector<CanvasOp> FakeCanvas::OpsNamed(const std::string& name) const {
    std::vector<CanvasOp> found;
    std::copy_if(ops_.begin(), ops_.end(), std::back_inserter(found),
                 [&](const CanvasOp& op) { return op.name == name; });
    return found;
}

std::vector<std::string> FakeCanvas::DrawnTexts() const {
    std::vector<std::string> texts;
    for (const CanvasOp& op : OpsNamed("DrawText")) texts.push_back(op.text);
    return texts;
}

bool FakeCanvas::Shows(float x, float y, Rgb expected) const {
    for (auto it = paint_.rbegin(); it != paint_.rend(); ++it) {
        const float left = std::min(it->x1, it->x2);
        const float right = std::max(it->x1, it->x2);
        const float top = std::min(it->y1, it->y2);
        const float bottom = std::max(it->y1, it->y2);
        // A filled rectangle covers [left, right) x [top, bottom); a line covers its own pixels.
        const bool inside = it->filled ? (x >= left && x < right && y >= top && y < bottom)
                                       : (x >= left && x <= right && y >= top && y <= bottom);
        if (inside) return SameColour(it->colour, expected);
    }
    return false;
}

void FakeCanvas::Clear() {
    ops_.clear();
    paint_.clear();
    path_.clear();
}

}  // namespace wm::testing
