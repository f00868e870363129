#include "window/letterbox.h"

#include <algorithm>
#include <cmath>

namespace harbor {

Letterbox FitStage(int32_t output_width, int32_t output_height) {
    const int32_t w = std::max(output_width, 1);
    const int32_t h = std::max(output_height, 1);
    Letterbox box;
    box.scale = std::min(static_cast<double>(w) / stage::kWidth, static_cast<double>(h) / stage::kHeight);
    // Rounded sizes can exceed the output by a rounding step: the bars never go negative.
    box.width = std::clamp(static_cast<int32_t>(std::lround(stage::kWidth * box.scale)), 1, w);
    box.height = std::clamp(static_cast<int32_t>(std::lround(stage::kHeight * box.scale)), 1, h);
    box.x = (w - box.width) / 2;
    box.y = (h - box.height) / 2;
    return box;
}

StagePoint ToStage(const Letterbox& box, double output_x, double output_y) {
    const double sx = (output_x - box.x) * stage::kWidth / box.width;
    const double sy = (output_y - box.y) * stage::kHeight / box.height;
    return {static_cast<int32_t>(std::floor(sx)), static_cast<int32_t>(std::floor(sy))};
}

void ToOutput(const Letterbox& box, double stage_x, double stage_y, double& output_x, double& output_y) {
    output_x = box.x + stage_x * box.width / stage::kWidth;
    output_y = box.y + stage_y * box.height / stage::kHeight;
}

bool OnStage(StagePoint p) { return p.x >= 0 && p.y >= 0 && p.x < stage::kWidth && p.y < stage::kHeight; }

}  // namespace harbor
