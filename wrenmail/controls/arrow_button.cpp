#include "controls/arrow_button.h"

#include <utility>

#include "controls/canvas_drawing.h"

namespace wm {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRaisedFace{204, 204, 204};
constexpr Rgb kPressedFace{154, 154, 154};

// The up-pointing triangle of the up look in an `across` x `along` frame: rows 3 to along - 6,
// widening from the apex.
std::vector<Segment> UpTriangle(int32_t across, int32_t along) {
    std::vector<Segment> rows;
    const int32_t mid = (across - 1) / 2;
    const double span = static_cast<double>(along - 9);
    for (int32_t y = 3; y <= along - 6; ++y) {
        const double share = span > 0.0 ? static_cast<double>(y - 3) / span : 0.0;
        const auto half = static_cast<int32_t>((share * (across - 10) + 1.0) * 0.5);
        rows.push_back(Segment{mid - half, y, mid + half, y});
    }
    return rows;
}

// Turns a point of the up frame to the arrow's direction within a width x height square.
std::pair<int32_t, int32_t> Turn(ArrowKind kind, int32_t x, int32_t y, int32_t width,
                                 int32_t height) {
    switch (kind) {
    case ArrowKind::kUp:
        return {x, y};
    case ArrowKind::kDown:
        return {x, height - 1 - y};
    case ArrowKind::kLeft:
        return {y, x};
    case ArrowKind::kRight:
        return {width - 1 - y, x};
    }
    return {x, y};
}

void DrawEdges(CanvasInterface& canvas, int32_t width, int32_t height, Rgb top_left,
               Rgb bottom_right) {
    const auto right = static_cast<float>(width - 1);
    const auto bottom = static_cast<float>(height - 1);
    SetColour(canvas, top_left);
    DrawLine(canvas, 0.0f, 0.0f, right, 0.0f);
    DrawLine(canvas, 0.0f, 0.0f, 0.0f, bottom);
    SetColour(canvas, bottom_right);
    DrawLine(canvas, right, 0.0f, right, bottom);
    DrawLine(canvas, 0.0f, bottom, right, bottom);
}

}  // namespace

std::vector<Segment> ArrowTriangle(ArrowKind kind, bool up_look, int32_t width, int32_t height) {
    const bool vertical = kind == ArrowKind::kUp || kind == ArrowKind::kDown;
    const int32_t across = vertical ? width : height;
    const int32_t along = vertical ? height : width;
    const int32_t pressed = up_look ? 0 : 1;
    std::vector<Segment> segments;
    for (const Segment& row : UpTriangle(across, along)) {
        const auto [x1, y1] = Turn(kind, row.x1, row.y1, width, height);
        const auto [x2, y2] = Turn(kind, row.x2, row.y2, width, height);
        segments.push_back(Segment{x1 + pressed, y1 + pressed, x2 + pressed, y2 + pressed});
    }
    return segments;
}

PMArrowButton::PMArrowButton(ArrowKind kind, int32_t x, int32_t y, int32_t size,
                             uint16_t scene_port, uint16_t event_port, int32_t depth)
    : PMButton(x, y, size, size, scene_port, event_port, depth), kind_(kind) {}

bool PMArrowButton::Draw(CanvasInterface& canvas, bool up) {
    bool& drawn = up ? up_drawn_ : down_drawn_;
    if (drawn) {
        return false;
    }
    int32_t width = 0;
    int32_t height = 0;
    canvas.GetSize(&width, &height);
    FillCanvas(canvas, up ? kRaisedFace : kPressedFace);
    if (up) {
        DrawEdges(canvas, width, height, kWhite, kBlack);
    } else {
        DrawEdges(canvas, width, height, kBlack, kWhite);
    }
    SetColour(canvas, kBlack);
    for (const Segment& s : ArrowTriangle(kind_, up, width, height)) {
        DrawLine(canvas, static_cast<float>(s.x1), static_cast<float>(s.y1),
                 static_cast<float>(s.x2), static_cast<float>(s.y2));
    }
    drawn = true;
    return true;
}

}  // namespace wm
