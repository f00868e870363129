// Where the 640x480 stage sits in a window of any size: scaled as large as it fits with its
// aspect kept, centred, with bars on the two sides that are left over.
#ifndef HARBOR_WINDOW_LETTERBOX_H
#define HARBOR_WINDOW_LETTERBOX_H

#include <cstdint>

namespace harbor {

namespace stage {
inline constexpr int32_t kWidth = 640;
inline constexpr int32_t kHeight = 480;
}  // namespace stage

// The stage's place in the output, in output pixels.
struct Letterbox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = stage::kWidth;
    int32_t height = stage::kHeight;
    double scale = 1.0;  // output pixels per stage pixel
};

struct StagePoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const StagePoint&) const = default;
};

// The letterbox for an output of `output_width` by `output_height` pixels; at least 1x1.
Letterbox FitStage(int32_t output_width, int32_t output_height);

// The stage pixel under an output position (pixel centres at .5). Positions in the bars map
// outside 0..639 / 0..479.
StagePoint ToStage(const Letterbox& box, double output_x, double output_y);

// The output position of a stage position.
void ToOutput(const Letterbox& box, double stage_x, double stage_y, double& output_x, double& output_y);

bool OnStage(StagePoint p);

}  // namespace harbor

#endif
