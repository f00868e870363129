#include <gtest/gtest.h>

#include "controls/canvas_drawing.h"
#include "controls/control_atoms.h"
#include "controls/sprite_resources.h"
#include "fake_canvas.h"
#include "controls_fixture.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm::testing {
namespace {

using DrawingTest = ControlsTest;

TEST(RectangleDrawing, NormalisesTheCornersAndGrowsTheBoxByTwicePenWidth) {
    FakeCanvas canvas(100, 100);
    const Box box = DrawRectangle(canvas, 30.0f, 40.0f, 10.0f, 15.0f, 3.0f, false);
    ASSERT_EQ(canvas.Ops().size(), 3u);
    EXPECT_EQ(canvas.Ops()[0].name, "SetPenWidth");
    EXPECT_EQ(canvas.Ops()[1].name, "Rectangle");
    EXPECT_EQ(canvas.Ops()[1].args, (std::array<float, 4>{10.0f, 15.0f, 20.0f, 25.0f}));
    EXPECT_EQ(canvas.Ops()[2].name, "Stroke");
    EXPECT_FLOAT_EQ(box.left, 4.0f);
    EXPECT_FLOAT_EQ(box.top, 9.0f);
    EXPECT_FLOAT_EQ(box.right, 36.0f);
    EXPECT_FLOAT_EQ(box.bottom, 46.0f);

    canvas.Clear();
    DrawRectangle(canvas, 0.0f, 0.0f, 5.0f, 5.0f, 1.0f, true);
    EXPECT_EQ(canvas.Ops().back().name, "Fill");
}

TEST_F(DrawingTest, CanvasSpriteIsMadeInTheHostsOrder) {
    const uint16_t name = FetchAtom("Canvas Sprite");
    const uint16_t port = FetchAtom("Some Canvas Port");
    const CanvasSprite made =
        MakeCanvasSprite(CanvasSpriteGeometry{name, scene_, port, 5, 6, 70, 80, 9, true, 0});
    const auto& log = Host().Requests();
    ASSERT_EQ(log.size(), 8u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(log[i].port, atoms::ResPort);
        EXPECT_FALSE(log[i].posted);
    }
    auto type_of = [&](std::size_t i) { return EDictGetType(&log[i].record); };
    auto kind_of = [&](std::size_t i) { return EDictGetLong(&log[i].record, atoms::TYPE); };
    EXPECT_EQ(type_of(0), code::kCreate);
    EXPECT_EQ(kind_of(0), 3);
    EXPECT_EQ(type_of(1), code::kCreate);
    EXPECT_EQ(kind_of(1), 4);
    EXPECT_EQ(EDictGetShort(&log[1].record, atoms::FX), atoms::controls::Default);
    EXPECT_EQ(kind_of(2), 5);
    EXPECT_EQ(EDictGetLong(&log[2].record, atoms::WIDTH), 70);
    EXPECT_EQ(EDictGetLong(&log[2].record, atoms::HEIGHT), 80);
    EXPECT_EQ(type_of(3), code::kSet);
    EXPECT_EQ(EDictGetShort(&log[3].record, atoms::NAME), made.bitmap);
    EXPECT_EQ(EDictGetLong(&log[3].record, atoms::TRANSGREEN), 255);
    EXPECT_EQ(EDictGetLong(&log[3].record, atoms::TRANSRED), 0);
    EXPECT_EQ(EDictGetShort(&log[4].record, atoms::PIVOT), port);
    EXPECT_EQ(EDictGetShort(&log[5].record, atoms::controls::BITMAP), made.bitmap);
    EXPECT_EQ(EDictGetLong(&log[5].record, atoms::ANIMREPEAT), -1);
    EXPECT_EQ(kind_of(6), 3);
    EXPECT_EQ(EDictGetLong(&log[6].record, atoms::VISIBLE), 1);
    EXPECT_EQ(EDictGetLong(&log[6].record, atoms::INTERACTIVE), 1);
    EXPECT_EQ(log[7].port, scene_);
    EXPECT_EQ(type_of(7), code::kStart);
    EXPECT_EQ(EDictGetShort(&log[7].record, atoms::SPRITENAME), name);
    EXPECT_EQ(EDictGetLong(&log[7].record, atoms::Z), 9);
    EXPECT_NE(made.effect, 0);
    EXPECT_NE(made.effect, made.bitmap);
}

TEST_F(DrawingTest, RefusedResourcesAndPassiveSpritesSkipTheirSteps) {
    Host().resources.refusing = true;
    const uint16_t name = FetchAtom("Passive Sprite");
    const CanvasSprite made =
        MakeCanvasSprite(CanvasSpriteGeometry{name, scene_, 1, 0, 0, 10, 10, 1, false, 0});
    EXPECT_EQ(made.effect, 0);
    EXPECT_EQ(made.bitmap, 0);
    // No bitmap colours and no pivot: create x3, effect bitmap, properties, placement.
    EXPECT_EQ(Host().Requests().size(), 6u);
    EXPECT_TRUE(Host().Requests(atoms::ResPort, code::kSet).size() == 2u);
}

TEST_F(DrawingTest, RemovingSendsToTheSceneThenPostsEachResource) {
    const uint16_t name = FetchAtom("Doomed Sprite");
    RemoveCanvasSprite(name, CanvasSprite{111, 222}, scene_);
    const auto& log = Host().Requests();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].port, scene_);
    EXPECT_FALSE(log[0].posted);
    const uint16_t expected[] = {name, 222, 111};
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(log[i].port, atoms::ResPort);
        EXPECT_TRUE(log[i].posted);
        EXPECT_EQ(EDictGetType(&log[i].record), code::kDelete);
        EXPECT_EQ(EDictGetShort(&log[i].record, atoms::NAME), expected[i - 1]);
    }
}

}  // namespace
}  // namespace wm::testing
