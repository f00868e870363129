#include <gtest/gtest.h>

#include <array>

#include "controls/arrow_button.h"
#include "fake_canvas.h"
#include "controls_fixture.h"
#include "hxmsg.h"
#include "wrenmail.h"

namespace wm::testing {
namespace {

using ButtonTest = ControlsTest;

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

TEST_F(ButtonTest, ConstructionMakesTwoLooksAndAHiddenInteractiveButton) {
    PMArrowButton button(ArrowKind::kUp, 3, 4, 16, scene_, events_, 7);
    EXPECT_STREQ(DaNameGetString(button.Sprite()), "PM Button Sprite Name Number 0");
    // The button's own properties come last, after the two looks'.
    const auto pivots = Host().Requests(atoms::ResPort, code::kSet);
    ASSERT_FALSE(pivots.empty());
    const EDict& properties = pivots.back().record;
    EXPECT_EQ(EDictGetShort(&properties, atoms::KIND), atoms::BUTTON);
    EXPECT_EQ(EDictGetLong(&properties, atoms::VISIBLE), 0);
    EXPECT_EQ(EDictGetLong(&properties, atoms::INTERACTIVE), 1);
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kStart), atoms::X), Numbers{3});
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kStart), atoms::Z), Numbers{7});
}

TEST_F(ButtonTest, EachLookIsPaintedOnceThroughItsCanvasPort) {
    PMArrowButton button(ArrowKind::kUp, 0, 0, 16, scene_, events_, 1);
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

}  // namespace
}  // namespace wm::testing
