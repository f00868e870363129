// Arrow buttons and the drawing and canvas sprite helpers they are painted with.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "controls/arrow_button.h"
#include "controls/canvas_drawing.h"
#include "controls/sprite_resources.h"
#include "fake_canvas.h"
#include "controls_fixture.h"
#include "hxmsg.h"
#include "wrenmail.h"

namespace wm::testing {
namespace {

using ButtonTest = ControlsTest;
using DrawingTest = ControlsTest;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

using Ends = std::array<int32_t, 4>;  // x1, y1, x2, y2

Ends EndsOf(const Segment& s) { return {s.x1, s.y1, s.x2, s.y2}; }

TEST(ArrowTriangle, EachKindPointsItsOwnWayAndThePressedLookSitsOnePixelRightAndDown) {
    const struct {
        ArrowKind kind;
        bool up;
        int32_t width;
        std::size_t rows;
        Ends first, last;
    } cases[] = {
        {ArrowKind::kUp, true, 16, 8, {7, 3, 7, 3}, {4, 10, 10, 10}},
        {ArrowKind::kUp, false, 16, 8, {8, 4, 8, 4}, {5, 11, 11, 11}},
        {ArrowKind::kDown, true, 16, 8, {7, 12, 7, 12}, {4, 5, 10, 5}},
        {ArrowKind::kLeft, true, 16, 8, {3, 7, 3, 7}, {10, 4, 10, 10}},
        {ArrowKind::kRight, true, 16, 8, {12, 7, 12, 7}, {5, 4, 5, 10}},
        // Across a wide horizontal arrow the triangle follows the height, along it the width.
        {ArrowKind::kRight, true, 20, 12, {16, 7, 16, 7}, {5, 4, 5, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind) * 10 + c.width + (c.up ? 0 : 1000));
        const auto rows = ArrowTriangle(c.kind, c.up, c.width, 16);
        ASSERT_EQ(rows.size(), c.rows);
        EXPECT_EQ(EndsOf(rows.front()), c.first);
        EXPECT_EQ(EndsOf(rows.back()), c.last);
    }
    // Half-widths of the up arrow: the integer part of ((y - 3) / 7 * 6 + 1) / 2.
    const auto rows = ArrowTriangle(ArrowKind::kUp, true, 16, 16);
    const int32_t halves[] = {0, 0, 1, 1, 2, 2, 3, 3};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].y1, static_cast<int32_t>(3 + i));
        EXPECT_EQ(rows[i].x2 - 7, halves[i]) << "row " << i;
        EXPECT_EQ(7 - rows[i].x1, halves[i]) << "row " << i;
    }
    // An odd width keeps mid = (w + 1) / 2 for the pressed look.
    EXPECT_EQ(ArrowTriangle(ArrowKind::kUp, false, 15, 16).front().x1, 8);
    EXPECT_EQ(ArrowTriangle(ArrowKind::kUp, true, 15, 16).front().x1, 7);
}

TEST_F(ButtonTest, ConstructionMakesAHiddenInteractiveButtonWithTwoLooksEachPaintedOnce) {
    PMArrowButton button(ArrowKind::kUp, 3, 4, 16, scene_, events_, 7);
    EXPECT_STREQ(DaNameGetString(button.Sprite()), "PM Button Sprite Name Number 0");
    // The button's own properties come last, after the two looks'.
    const auto pivots = Host().Requests(atoms::ResPort, code::kSet);
    ASSERT_FALSE(pivots.empty());
    const EDict& properties = pivots.back().record;
    EXPECT_EQ(EDictGetShort(&properties, atoms::KIND), atoms::BUTTON);
    EXPECT_EQ(EDictGetLong(&properties, atoms::VISIBLE), 0);
    EXPECT_EQ(EDictGetLong(&properties, atoms::INTERACTIVE), 1);
    const auto placed = Host().Requests(scene_, code::kStart);
    EXPECT_EQ(Longs(placed, atoms::X), Numbers{3});
    EXPECT_EQ(Longs(placed, atoms::Z), Numbers{7});

    // Each look is painted once through its canvas port.
    FakeCanvas canvas(16, 16);
    // Requests without a button or a canvas are refused and paint nothing.
    EDict stranger = DrawRecord(FetchAtom("not a button"), &canvas);
    EXPECT_FALSE(PM_ButtonDrawUp(&stranger));
    EDict blind = DrawRecord(button.Sprite(), nullptr);
    EXPECT_FALSE(PM_ButtonDrawUp(&blind));
    EXPECT_FALSE(PM_ButtonDrawUp(nullptr));
    EXPECT_TRUE(canvas.Ops().empty());
    EDict up = DrawRecord(button.Sprite(), &canvas);
    EXPECT_TRUE(HxPortSend(atoms::controls::PivotButtonCanvasPortUp, &up));
    EXPECT_TRUE(EDictGetBool(&up, atoms::UPDATED));

    EXPECT_TRUE(canvas.Shows(5, 0, kWhite)) << "raised top edge";
    EXPECT_TRUE(canvas.Shows(15, 8, kBlack)) << "raised right edge";
    EXPECT_TRUE(canvas.Shows(7, 3, kBlack)) << "apex";
    EXPECT_TRUE(canvas.Shows(4, 4, Rgb{204, 204, 204})) << "face beside the apex";

    EDict again = DrawRecord(button.Sprite(), &canvas);
    const EDict before = again;
    EXPECT_FALSE(PM_ButtonDrawUp(&again));
    EXPECT_EQ(EDictKeyCount(&again), EDictKeyCount(&before));
    EXPECT_FALSE(EDictHasKey(&again, atoms::UPDATED));

    FakeCanvas pressed(16, 16);
    EDict down = DrawRecord(button.Sprite(), &pressed);
    EXPECT_TRUE(PM_ButtonDrawDown(&down));
    EXPECT_TRUE(pressed.Shows(5, 0, kBlack)) << "sunken top edge";
    EXPECT_TRUE(pressed.Shows(8, 4, kBlack)) << "pressed apex";
    EXPECT_TRUE(pressed.Shows(7, 3, Rgb{154, 154, 154}));
}

TEST_F(ButtonTest, TheLastButtonDetachesThePortsAndRestartsTheNames) {
    {
        PMArrowButton first(ArrowKind::kUp, 0, 0, 16, scene_, events_, 1);
        PMArrowButton second(ArrowKind::kDown, 0, 16, 16, scene_, events_, 1);
        EXPECT_STREQ(DaNameGetString(second.Sprite()), "PM Button Sprite Name Number 1");
        Host().Forget();
    }
    EXPECT_EQ(PMButton::LiveCount(), 0u);
    // Each button: one deletion sent to the scene and five posted resources.
    EXPECT_EQ(Host().Requests(scene_, code::kDelete).size(), 2u);
    EXPECT_EQ(Host().Posted(atoms::ResPort, code::kDelete).size(), 10u);
    FakeCanvas canvas(16, 16);
    EDict up = DrawRecord(1, &canvas);
    EXPECT_FALSE(HxPortSend(atoms::controls::PivotButtonCanvasPortUp, &up));
    PMArrowButton again(ArrowKind::kUp, 0, 0, 16, scene_, events_, 1);
    EXPECT_STREQ(DaNameGetString(again.Sprite()), "PM Button Sprite Name Number 0");
}

TEST(RectangleDrawing, NormalisesTheCornersAndGrowsTheBoxByTwicePenWidth) {
    FakeCanvas canvas(100, 100);
    const Box box = DrawRectangle(canvas, 30.0f, 40.0f, 10.0f, 15.0f, 3.0f, false);
    std::vector<std::string> names;
    for (const CanvasOp& op : canvas.Ops()) names.push_back(op.name);
    EXPECT_EQ(names, (Lines{"SetPenWidth", "Rectangle", "Stroke"}));
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
    const auto placed = Host().Requests(scene_, code::kStart);
    EXPECT_EQ(Shorts(placed, atoms::SPRITENAME), Atoms{name});
    EXPECT_EQ(Longs(placed, atoms::Z), Numbers{9});

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
