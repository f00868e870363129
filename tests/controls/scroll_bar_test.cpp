#include <gtest/gtest.h>

#include <utility>

#include "fake_canvas.h"
#include "controls_fixture.h"
#include "hxmsg.h"

namespace wm::testing {
namespace {

class ScrollBarTest : public ControlsTest {
protected:
    // A vertical bar at (200, 0), 16 wide and 132 high: a track of 100 and two arrows below it.
    ScrollBarGeometry Vertical(bool apart = false) const {
        return ScrollBarGeometry{200, 0, 16, 132, true, scene_, events_, 0, 0, apart, 5};
    }

    void Tick(uint32_t time) {
        EDict record = Record(code::kTick, time);
        HxPortSend(atoms::TimerPortTick, &record);
    }
    void Send(EDict record) { HxPortSend(events_, &record); }
    void PointerAt(int32_t x, int32_t y) { Send(AtPoint(Record(code::kPointerMoved), x, y)); }
    void PressSprite(uint16_t sprite, uint32_t time) { Send(Named(code::kPress, sprite, time)); }
};
using Box = std::vector<uint32_t>;  // left, top, width and height of the track

TEST_F(ScrollBarTest, TrackLeavesRoomForTheArrowsBesideOrAroundIt) {
    PMScroll bar(Vertical());
    EXPECT_EQ(Bounds(bar), (Box{200, 0, 16, 100}));
    const auto placed = Host().Requests(scene_, code::kStart);  // the bar, then the two arrow buttons
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(EDictGetLong(&placed[1].record, atoms::Y), 100);
    EXPECT_EQ(EDictGetLong(&placed[1].record, atoms::Z), 4) << "arrows sit below the bar";
    EXPECT_EQ(EDictGetLong(&placed[2].record, atoms::Y), 116);
    EXPECT_FALSE(bar.Shown());
    EXPECT_EQ(Bounds(PMScroll(Vertical(true))), (Box{200, 16, 16, 100}));
    PMScroll across(ScrollBarGeometry{0, 300, 140, 20, false, scene_, events_, 0, 0, true, 5});
    EXPECT_EQ(Bounds(across), (Box{20, 300, 100, 20}));
    EXPECT_TRUE(across.OwnsSprite(across.UpArrow()));
    EXPECT_FALSE(across.OwnsSprite(bar.BarSprite()));
}

TEST_F(ScrollBarTest, ThumbFollowsThePageRatioAndPositionAndAHundredShowsAnInertBar) {
    PMScroll bar(Vertical());
    using Span = std::pair<int32_t, int32_t>;  // the thumb's start and length
    const auto ThumbSpan = [&bar] { return Span{bar.GetThumb().start, bar.GetThumb().length}; };
    EXPECT_EQ(ThumbSpan(), Span(0, 100)) << "inert bar: the thumb fills the track";
    bar.SetPageRatio(200);
    EXPECT_EQ(ThumbSpan(), Span(0, 50));
    bar.SetPosition(5000);
    EXPECT_EQ(ThumbSpan(), Span(25, 50));
    bar.SetPosition(10000);
    EXPECT_EQ(ThumbSpan(), Span(50, 50));
    bar.SetPageRatio(10000);
    EXPECT_EQ(ThumbSpan(), Span(84, 16));

    // A ratio of a hundred shows a bar that takes keys and presses without moving; below, it hides.
    bar.SetPageRatio(100);
    EXPECT_TRUE(bar.Shown());
    bar.SetPosition(3000);
    EXPECT_TRUE(bar.Key(34, false, false));
    EXPECT_TRUE(bar.MouseDown(208, 90, false, false));
    EXPECT_EQ(bar.GetPosition(), 3000u);
    EXPECT_FALSE(bar.GetTouched());
    Host().Forget();
    bar.SetPageRatio(99);
    EXPECT_FALSE(bar.Shown());
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kSet), atoms::VISIBLE), (Numbers{0, 0, 0}));
}

TEST_F(ScrollBarTest, KeysPageStepAndJumpWithinTheEnds) {
    PMScroll bar(Vertical());
    bar.SetPageRatio(200);  // a page is 5000, a step of 10 is 1000
    const auto AfterKey = [&](int32_t key) {
        EXPECT_TRUE(bar.Key(key, false, false));
        return bar.GetPosition();
    };
    bar.SetPosition(9000);
    EXPECT_EQ(AfterKey(34), 10000u);
    EXPECT_TRUE(bar.GetTouched());
    bar.SetPosition(3000);
    EXPECT_EQ(AfterKey(33), 0u);
    bar.Key(40, false, false);
    EXPECT_EQ(AfterKey(39), 2000u);
    EXPECT_EQ(AfterKey(38), 1000u);
    EXPECT_EQ(AfterKey(35), 10000u);
    EXPECT_EQ(AfterKey(36), 0u);
    bar.SetPageRatio(300);
    bar.SetStep(25);  // 25 * 1000000 / 200 / 100
    bar.StepDown();
    EXPECT_EQ(bar.GetPosition(), 1250u);
}

TEST_F(ScrollBarTest, PressesBesideTheThumbPageAndOnItDrag) {
    PMScroll bar(Vertical());
    bar.SetPageRatio(200);
    bar.SetPosition(5000);  // thumb 25..74
    EXPECT_FALSE(bar.MouseDown(100, 50, false, false)) << "outside the track";
    EXPECT_TRUE(bar.MouseDown(208, 80, false, false));
    EXPECT_EQ(bar.GetPosition(), 10000u);
    EXPECT_TRUE(bar.MouseDown(208, 10, false, false));
    EXPECT_EQ(bar.GetPosition(), 5000u);
    EXPECT_FALSE(bar.Dragging());
    EXPECT_TRUE(bar.MouseDown(208, 75, false, false)) << "first pixel after the thumb pages";
    EXPECT_FALSE(bar.Dragging());
    EXPECT_EQ(bar.GetPosition(), 10000u);
    bar.SetPosition(5000);
    EXPECT_TRUE(bar.MouseDown(208, 74, false, false)) << "last pixel of the thumb drags";
    EXPECT_TRUE(bar.Dragging());
    bar.MouseUp(208, 74, false, false);
    EXPECT_EQ(bar.GetPosition(), 5000u);

    EXPECT_TRUE(bar.MouseDown(208, 35, false, false));  // 10 into the thumb
    EXPECT_TRUE(bar.Dragging());
    Host().Forget();
    EXPECT_TRUE(bar.MouseMove(300, 50));  // thumb start 40 of a room of 50
    EXPECT_EQ(bar.GetPosition(), 8000u);
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kSet), atoms::FORCEDUPDATE), Numbers{1});
    bar.MouseMove(208, 500);
    EXPECT_EQ(bar.GetPosition(), 10000u);
    bar.MouseMove(208, -40);
    EXPECT_EQ(bar.GetPosition(), 0u);
    EXPECT_TRUE(bar.MouseUp(208, 20, false, false));
    EXPECT_EQ(bar.GetPosition(), 2000u);
    EXPECT_FALSE(bar.Dragging());
    EXPECT_FALSE(bar.MouseUp(208, 20, false, false));
}

TEST_F(ScrollBarTest, HeldArrowRepeatsAfterFiveHundredThenEveryHundred) {
    PMScroll bar(Vertical());
    bar.SetPageRatio(200);  // one step is 1000
    const auto At = [&](uint32_t time) {
        Tick(time);
        return bar.GetPosition();
    };
    PointerAt(208, 120);
    PressSprite(bar.DownArrow(), 1000);
    EXPECT_EQ(bar.GetPosition(), 1000u) << "one step at once";
    EXPECT_EQ(At(1499), 1000u);
    EXPECT_EQ(At(1500), 2000u);
    EXPECT_EQ(At(1599), 2000u);
    EXPECT_EQ(At(1600), 3000u);
    PointerAt(216, 120);  // just off the arrow: ticks pass without steps
    EXPECT_EQ(At(1700), 3000u);
    PointerAt(210, 130);
    EXPECT_EQ(At(1750), 3000u) << "100 counts from the last tick, stepping or not";
    EXPECT_EQ(At(1800), 4000u);
    Send(Record(code::kReleased, 1850));
    EXPECT_EQ(At(2500), 4000u);
    // A record stamped earlier than the last repeat is not taken as late.
    PressSprite(bar.UpArrow(), 3000);
    EXPECT_EQ(bar.GetPosition(), 3000u);
    EXPECT_TRUE(bar.IsUpArrowActive() == bar.Shown());
    EXPECT_EQ(At(0), 3000u);
    EXPECT_EQ(At(3500), 2000u);
}

TEST_F(ScrollBarTest, RepaintPaintsTheRaisedThumbAndReportsThePosition) {
    PMScroll::DrawAnswers().Reset();
    PMScroll bar(Vertical());
    FakeCanvas first(16, 100);
    EDict very_first = DrawRecord(bar.BarSprite(), &first);
    ASSERT_TRUE(PMScroll::PM_ScrollDraw(&very_first));
    EXPECT_EQ(EDictKeyCount(&very_first), 3) << "the port's very first answer: NAME, Bitmap, UPDATED";
    bar.SetPageRatio(200);
    bar.SetPosition(5000);
    Host().Forget();
    FakeCanvas canvas(16, 100);
    EDict request = DrawRecord(bar.BarSprite(), &canvas);
    ASSERT_TRUE(HxPortSend(atoms::controls::ScrollCanvasPort, &request));
    EXPECT_TRUE(EDictGetBool(&request, atoms::UPDATED));
    EXPECT_EQ(EDictGetLong(&request, atoms::Y), 0);
    EXPECT_EQ((Numbers{EDictGetLong(&request, atoms::WIDTH), EDictGetLong(&request, atoms::HEIGHT)}),
              (Numbers{16, 100}));

    EXPECT_TRUE(canvas.Shows(8, 50, Rgb{160, 160, 164}));
    EXPECT_TRUE(canvas.Shows(8, 10, Rgb{204, 204, 204}));
    EXPECT_TRUE(canvas.Shows(1, 40, Rgb{255, 255, 255}));
    EXPECT_TRUE(canvas.Shows(8, 74, Rgb{0, 0, 0}));
    EXPECT_TRUE(canvas.Shows(8, 75, Rgb{204, 204, 204}));

    const auto changes = Host().Posted(events_, atoms::actions::aPMScrollChange);
    EXPECT_EQ(Longs(changes, atoms::controls::CONTROLPOS), Numbers{5000});
    EXPECT_EQ(EDictGetPointer(&changes[0].record, atoms::controls::POINTER), &bar);

    EDict clean = DrawRecord(bar.BarSprite(), &canvas);
    EXPECT_FALSE(PMScroll::PM_ScrollDraw(&clean));
    EXPECT_FALSE(EDictHasKey(&clean, atoms::UPDATED));
    EDict stranger = DrawRecord(FetchAtom("no such bar"), &canvas);
    bar.SetPosition(0);
    EXPECT_FALSE(PMScroll::PM_ScrollDraw(&stranger));
}

TEST_F(ScrollBarTest, TemplateArrowsAreInstancesDeletedWithTheBar) {
    const uint16_t up = FetchAtom("Up Template");
    const uint16_t down = FetchAtom("Down Template");
    {
        PMScroll bar(ScrollBarGeometry{200, 0, 16, 132, true, scene_, events_, up, down, false, 5});
        EXPECT_STREQ(DaNameGetString(bar.UpArrow()), "PM Up Arrow Name Number 1");
        const auto instances = Host().Requests(scene_, code::kStart);
        ASSERT_EQ(instances.size(), 3u);
        EXPECT_EQ(EDictGetShort(&instances[1].record, atoms::SPRITENAME), up);
        EXPECT_EQ(EDictGetShort(&instances[1].record, atoms::INAME), bar.UpArrow());
        EXPECT_FALSE(EDictGetBool(&instances[1].record, atoms::VISIBLE));
        EXPECT_EQ(Shorts(Host().Requests(scene_, code::kSetEffect), atoms::FX).at(1), atoms::controls::Still);
        Host().Forget();
    }
    // The bar sprite and both instances leave the scene; nothing draws for it any more.
    EXPECT_EQ(Host().Requests(scene_, code::kDelete).size(), 3u);
    EDict request = DrawRecord(1, nullptr);
    EXPECT_FALSE(HxPortSend(atoms::controls::ScrollCanvasPort, &request));
}

}  // namespace
}  // namespace wm::testing
