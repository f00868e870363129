// The letterbox: the stage as large as the window allows with its aspect kept, and the pointer
// mapped back onto the stage pixel it is over.
#include <gtest/gtest.h>

#include <utility>

#include "window/letterbox.h"

namespace {

using harbor::FitStage;
using harbor::Letterbox;
using harbor::StagePoint;
using harbor::ToOutput;
using harbor::ToStage;

TEST(LetterboxTest, FitsTheStageWithItsAspectKeptAndCentresIt) {
    const Letterbox same = FitStage(640, 480);
    EXPECT_EQ(std::make_tuple(same.x, same.y, same.width, same.height), std::make_tuple(0, 0, 640, 480));
    EXPECT_DOUBLE_EQ(same.scale, 1.0);

    const Letterbox doubled = FitStage(1280, 960);
    EXPECT_EQ(std::make_tuple(doubled.x, doubled.y, doubled.width, doubled.height), std::make_tuple(0, 0, 1280, 960));

    // Wider than 4:3: bars left and right.
    const Letterbox wide = FitStage(1920, 1080);
    EXPECT_EQ(std::make_tuple(wide.x, wide.y, wide.width, wide.height), std::make_tuple(240, 0, 1440, 1080));

    // Taller than 4:3: bars above and below.
    const Letterbox tall = FitStage(640, 1000);
    EXPECT_EQ(std::make_tuple(tall.x, tall.y, tall.width, tall.height), std::make_tuple(0, 260, 640, 480));

    // Odd sizes round, and the stage never leaves the output.
    const Letterbox odd = FitStage(801, 599);
    EXPECT_LE(odd.x + odd.width, 801);
    EXPECT_LE(odd.y + odd.height, 599);
    EXPECT_EQ(odd.height, 599);
    EXPECT_EQ(odd.width, 799);
}

TEST(LetterboxTest, DegenerateOutputsStillGiveAStage) {
    for (auto [w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{-5, 300}, std::pair{3, 1000}}) {
        const Letterbox box = FitStage(w, h);
        EXPECT_GE(box.width, 1) << w << "x" << h;
        EXPECT_GE(box.height, 1) << w << "x" << h;
        EXPECT_GE(box.x, 0);
        EXPECT_GE(box.y, 0);
    }
}

// Every stage pixel's centre, taken to the output and back, is the same pixel.
TEST(LetterboxTest, TheInverseFindsEveryStagePixelAgain) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{800, 600}, std::pair{333, 777},
                        std::pair{1366, 768}, std::pair{320, 240}}) {
        const Letterbox box = FitStage(w, h);
        for (int32_t y = 0; y < harbor::stage::kHeight; y += 7) {
            for (int32_t x = 0; x < harbor::stage::kWidth; x += 5) {
                double ox = 0;
                double oy = 0;
                ToOutput(box, x + 0.5, y + 0.5, ox, oy);
                ASSERT_EQ(ToStage(box, ox, oy), (StagePoint{x, y})) << w << "x" << h << " at " << x << "," << y;
            }
        }
    }
}

TEST(LetterboxTest, TheStagesEdgesAndTheBars) {
    const Letterbox box = FitStage(1920, 1080);  // scale 2.25, bars 240 wide
    EXPECT_EQ(ToStage(box, 240.5, 0.5), (StagePoint{0, 0}));
    EXPECT_EQ(ToStage(box, 240 + 1440 - 0.5, 1080 - 0.5), (StagePoint{639, 479}));
    EXPECT_EQ(ToStage(box, 1000, 540), (StagePoint{337, 240}));  // 760 / 2.25 = 337.8
    // In the bars: outside the stage on the side the bar is.
    EXPECT_FALSE(harbor::OnStage(ToStage(box, 100, 540)));
    EXPECT_LT(ToStage(box, 100, 540).x, 0);
    EXPECT_FALSE(harbor::OnStage(ToStage(box, 1800, 540)));
    EXPECT_GE(ToStage(box, 1800, 540).x, 640);
    EXPECT_TRUE(harbor::OnStage(ToStage(box, 241, 1)));
    // The last pixel is on the stage, the one just past each edge is not.
    EXPECT_TRUE(harbor::OnStage({harbor::stage::kWidth - 1, harbor::stage::kHeight - 1}));
    EXPECT_FALSE(harbor::OnStage({harbor::stage::kWidth, 0}));
    EXPECT_FALSE(harbor::OnStage({0, harbor::stage::kHeight}));
}

}  // namespace
