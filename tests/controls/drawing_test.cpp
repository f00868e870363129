#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "controls/canvas_drawing.h"
#include "controls/sprite_resources.h"
#include "fake_canvas.h"
#include "controls_fixture.h"
#include "hxmsg.h"

namespace wm::testing {
namespace {

using DrawingTest = ControlsTest;

TEST(RectangleDrawing, NormalisesTheCornersAndGrowsTheBoxByTwicePenWidth) {
    FakeCanvas canvas(100, 100);
    const Box box = DrawRectangle(canvas, 30.0f, 40.0f, 10.0f, 15.0f, 3.0f, false);
    std::vector<std::string> names;
    for (const CanvasOp& op : canvas.Ops()) names.push_back(op.name);
    EXPECT_EQ(names, (std::vector<std::string>{"SetPenWidth", "Rectangle", "Stroke"}));
    EXPECT_EQ(canvas.Ops()[1].args, (std::array<float, 4>{10.0f, 15.0f, 20.0f, 25.0f}));
    EXPECT_EQ((std::array<float, 4>{box.left, box.top, box.right, box.bottom}), (std::array<float, 4>{4, 9, 36, 46}));

    canvas.Clear();
    DrawRectangle(canvas, 0.0f, 0.0f, 5.0f, 5.0f, 1.0f, true);
    EXPECT_EQ(canvas.Ops().back().name, "Fill");
}

TEST_F(DrawingTest, ACanvasSpriteIsPlacedOnItsSceneWithItsOwnResources) {
    const uint16_t name = FetchAtom("Canvas Sprite");
    const CanvasSprite made =
        MakeCanvasSprite(CanvasSpriteGeometry{name, scene_, FetchAtom("Some Canvas Port"), 5, 6, 70, 80, 9, true, 0});
    EXPECT_NE(made.effect, 0);
    EXPECT_NE(made.bitmap, 0);
    EXPECT_NE(made.effect, made.bitmap);
    EXPECT_EQ(Shorts(Host().Requests(scene_, code::kStart), atoms::SPRITENAME), Atoms{name});
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kStart), atoms::Z), Numbers{9});

    // Refused resources leave the sprite without effect or bitmap.
    Host().resources.refusing = true;
    const CanvasSprite refused =
        MakeCanvasSprite(CanvasSpriteGeometry{FetchAtom("Passive Sprite"), scene_, 1, 0, 0, 10, 10, 1, false, 0});
    EXPECT_EQ(refused.effect, 0);
    EXPECT_EQ(refused.bitmap, 0);
}

TEST_F(DrawingTest, RemovingTakesTheSpriteOffTheSceneBeforeReleasingItsResources) {
    const uint16_t name = FetchAtom("Doomed Sprite");
    RemoveCanvasSprite(name, CanvasSprite{111, 222}, scene_);
    const auto log = Host().Requests();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].port, scene_);
    const uint16_t released[] = {name, 222, 111};
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(log[i].port, atoms::ResPort);
        EXPECT_EQ(EDictGetShort(&log[i].record, atoms::NAME), released[i - 1]);
    }
}

}  // namespace
}  // namespace wm::testing
