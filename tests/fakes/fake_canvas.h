// A canvas that records every operation with its arguments and the colour in force, and
// measures text with fixed formulas: 7 units per character wide, 12 high.
#ifndef WRENMAIL_TESTS_FAKES_FAKE_CANVAS_H
#define WRENMAIL_TESTS_FAKES_FAKE_CANVAS_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"
#include "controls/canvas_drawing.h"

namespace wm::testing {

struct CanvasOp {
    std::string name;
    std::array<float, 4> args{};
    std::string text;
    Rgb colour{};  // the colour in force when the operation ran
};

// A rectangle or line the canvas painted, with the colour in force.
struct Painted {
    bool filled;
    float x1, y1, x2, y2;
    Rgb colour;
};

class FakeCanvas : public CanvasInterface {
public:
    FakeCanvas(int32_t width, int32_t height) : width_(width), height_(height) {}

    void HXCALL PenPosition(float* x, float* y) override;
    void HXCALL GetSize(int32_t* width, int32_t* height) override;
    CanvasSize HXCALL Size() override;
    void HXCALL LineTo(float x, float y) override;
    void HXCALL MoveTo(float x, float y) override;
    void HXCALL Rectangle(float x, float y, float width, float height) override;
    void HXCALL SetPenWidth(float width) override { Record("SetPenWidth", {width}); }
    void HXCALL SetColor(uint8_t red, uint8_t green, uint8_t blue) override;
    void HXCALL DrawText(const char* text) override;
    void HXCALL MeasureText(const char* text, float* width, float* height) override;
    void HXCALL MeasureTextInt(const char* text, int32_t* width, int32_t* height) override;
    void HXCALL Stroke() override { EndPath("Stroke", false); }
    void HXCALL Fill() override { EndPath("Fill", true); }
    void HXCALL SelectFont(const char* name, int32_t style, int32_t size) override {
        Record("SelectFont", {float(style), float(size)}, name);
    }

    const std::vector<CanvasOp>& Ops() const { return ops_; }
    std::vector<CanvasOp> OpsNamed(const std::string& name) const;
    // The text of every DrawText, in drawing order.
    std::vector<std::string> DrawnTexts() const;
    // Every filled rectangle and stroked line, in painting order.
    const std::vector<Painted>& Paint() const { return paint_; }
    // True when the last paint covering the point (rectangles and axis-aligned lines) has that colour.
    bool Shows(float x, float y, Rgb expected) const;
    void Clear();

private:
    void Record(const std::string& name, std::array<float, 4> args, std::string text = {}) {
        ops_.push_back(CanvasOp{name, args, std::move(text), colour_});
    }
    // Stroking paints the path's outlines, filling paints its rectangles whole.
    void EndPath(const char* name, bool fill);

    int32_t width_;
    int32_t height_;
    float pen_x_ = 0.0f;
    float pen_y_ = 0.0f;
    Rgb colour_{};
    std::vector<CanvasOp> ops_;
    std::vector<Painted> path_;
    std::vector<Painted> paint_;
};

bool SameColour(Rgb a, Rgb b);

}  // namespace wm::testing

#endif
