// Canvas sprites: the ResPort answers, placement on a scene, pictures from the pivot ports,
// the transparent colour, two-look buttons, deletion and what a picture says.
#include <algorithm>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "canvas_test_support.h"
#include "runtime/record_tracer.h"
#include "base/trace_log.h"

namespace {

using namespace canvas_test;
using render_test::Rgb;

const uint16_t kScene = A("ScRtTest");

TEST_F(CanvasSpriteTest, ResPortAnswersStatusAndNames) {
    const uint16_t sprite = A("CvTestSprite");
    EXPECT_EQ(NewEffect(sprite, "Default"), 0) << "no look for a sprite not made";
    EXPECT_EQ(NewSprite(sprite), sprite);

    const uint16_t look = NewEffect(sprite, "Default");
    EXPECT_NE(look, 0);
    EXPECT_NE(look, sprite);
    EXPECT_EQ(NewEffect(sprite, "Default"), look) << "the same look is not made twice";
    EXPECT_NE(NewEffect(sprite, "down"), look);

    const uint16_t first = NewBitmap(30, 20);
    const uint16_t second = NewBitmap(30, 20);
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);
    ASSERT_NE(canvases_->Canvas(first), nullptr);
    EXPECT_EQ(std::make_pair(canvases_->Canvas(first)->Width(), canvases_->Canvas(first)->Height()), std::make_pair(30, 20));
    EXPECT_EQ(NewBitmap(0, 20), 0);
    EXPECT_EQ(NewBitmap(20, -1), 0);

    EXPECT_EQ(Made(Req(30052).Long("TYPE", 3).Name("CvNobody")), 0);

    // A sprite made again under its name starts without the looks it had.
    NewSprite(sprite);
    EXPECT_FALSE(canvases_->Knows(look));
    EXPECT_TRUE(canvases_->Knows(sprite));
}

TEST_F(CanvasSpriteTest, PlacedSpriteTakesItsBitmapsSizeAndFlags) {
    MakeCanvasSprite(A("CvList"), kScene, A("TestPivotUp"), {100, 50, 60, 40, 7, true});
    MakeCanvasSprite(A("CvStill"), kScene, A("TestPivotUp"), {300, 50, 20, 10, 8, false});
    const std::optional<harbor::SpriteInfo> list = service_->FindSprite(A("CvList"));
    ASSERT_TRUE(list);
    EXPECT_EQ((std::vector<int32_t>{list->rect.x, list->rect.y, list->rect.width, list->rect.height, list->z}),
              (std::vector<int32_t>{100, 50, 60, 40, 7}));
    EXPECT_TRUE(list->visible && list->interactive);
    EXPECT_EQ(list->kind, harbor::SpriteKind::Sprite);
    EXPECT_FALSE(service_->FindSprite(A("CvStill"))->interactive);
    EXPECT_EQ(service_->HitTest(110, 60)->sprite, A("CvList"));
    EXPECT_FALSE(service_->HitTest(305, 55));
}

TEST_F(CanvasSpriteTest, PaintedFromThePivotsAnswerWithGreenKeyedOut) {
    up_pivot.green_columns = 10;
    const CanvasParts parts = MakeCanvasSprite(A("CvList"), kScene, A("TestPivotUp"), {100, 50, 60, 40});
    const render_test::Image image = Refreshed();
    ASSERT_EQ(up_pivot.requests.size(), 1u);
    const EDict& request = up_pivot.requests[0];
    EXPECT_EQ(request.type, 30072);
    EXPECT_EQ(EDictGetShort(&request, A("NAME")), A("CvList"));
    EXPECT_EQ(EDictGetPointer(&request, A("Bitmap")), static_cast<CanvasInterface*>(canvases_->Canvas(parts.bitmap)));
    EXPECT_EQ(image.At(130, 70), Rgb(255, 0, 0));
    EXPECT_EQ(image.At(159, 89), Rgb(255, 0, 0));
    // The green columns show the scene, as does all beyond the sprite.
    for (auto [x, y] : Points{{105, 70}, {160, 70}, {130, 90}}) EXPECT_EQ(image.At(x, y), kWhite) << x << "," << y;
}

// No picture before the first updated answer; after it, a false answer, or true without UPDATED,
// keeps the picture shown and the texts drawn on it.
TEST_F(CanvasSpriteTest, FalseAnswerKeepsTheLastPictureAndWhatItSays) {
    const uint16_t list = A("CvRows");
    up_pivot.answer = false;
    MakeCanvasSprite(list, kScene, A("TestPivotUp"), {100, 50, 120, 60});
    EXPECT_EQ(Refreshed().At(200, 100), kWhite);
    EXPECT_EQ(canvases_->Picture(kScene, list), nullptr);
    EXPECT_FALSE(canvases_->DrawnText(kScene, list));
    up_pivot.answer = true;
    up_pivot.rows = {"Bob", "Hello Ann"};
    EXPECT_EQ(Refreshed().At(200, 100), Rgb(255, 0, 0));
    EXPECT_EQ(canvases_->DrawnText(kScene, list), "Bob\nHello Ann");
    up_pivot.fill = Colour{0, 0, 255, 255};
    up_pivot.rows = {"Carol"};
    up_pivot.answer = false;
    EXPECT_EQ(Refreshed().At(200, 100), Rgb(255, 0, 0));
    up_pivot.answer = true;
    up_pivot.updated = false;
    EXPECT_EQ(Refreshed().At(200, 100), Rgb(255, 0, 0)) << "true without UPDATED changes nothing";
    EXPECT_EQ(canvases_->DrawnText(kScene, list), "Bob\nHello Ann");
    up_pivot.updated = true;
    EXPECT_EQ(Refreshed().At(200, 100), Rgb(0, 0, 255));
    EXPECT_EQ(canvases_->DrawnText(kScene, list), "Carol");
    EXPECT_FALSE(canvases_->DrawnText(kScene, A("CvNobody")));
}

TEST_F(CanvasSpriteTest, GivenTransparentColourIsKeyedOutAndGreenStays) {
    up_pivot.fill = Colour{255, 0, 255, 255};
    up_pivot.green_columns = 10;
    const CanvasParts parts = MakeCanvasSprite(A("CvList"), kScene, A("TestPivotUp"), {100, 50, 60, 40});
    SetTransparent(parts.bitmap, kRed, Colour{255, 0, 255, 255});
    EXPECT_EQ(PixelAt(canvases_->Canvas(parts.bitmap)->Surface(), 3, 3), kRed) << "the background fills the canvas";
    const render_test::Image image = Refreshed();
    EXPECT_EQ(image.At(130, 70), Rgb(255, 255, 255));
    EXPECT_EQ(image.At(105, 70), Rgb(0, 255, 0));
}

TEST_F(CanvasSpriteTest, TicksAskVisibleSpritesOnlyAndTouchTheScene) {
    MakeCanvasSprite(A("CvList"), kScene, A("TestPivotUp"), {100, 50, 60, 40});
    const uint64_t before = service_->Scene(kScene)->Revision();
    Req tick(30040);
    tick.SendTo(A("TimerPortTick"));
    EXPECT_EQ(up_pivot.requests.size(), 1u);
    EXPECT_GT(service_->Scene(kScene)->Revision(), before) << "a new picture must be painted";

    up_pivot.answer = false;
    const uint64_t unchanged = service_->Scene(kScene)->Revision();
    tick.SendTo(A("TimerPortTick"));
    EXPECT_EQ(up_pivot.requests.size(), 2u);
    EXPECT_EQ(service_->Scene(kScene)->Revision(), unchanged);

    Req(30052).Name("CvList").Bool("VISIBLE", false).SendTo(kScene);
    tick.SendTo(A("TimerPortTick"));
    EXPECT_EQ(up_pivot.requests.size(), 2u);
}

// Picture requests go out with every tick: a trace shows them only with the timers.
TEST_F(CanvasSpriteTest, TraceLeavesPictureRequestsOutWithTheTimers) {
    MakeCanvasSprite(A("CvList"), kScene, A("TestPivotUp"), {100, 50, 60, 40});
    std::vector<std::string> lines;
    harbor::TraceLog::Instance().SetSink([&lines](std::string_view line) { lines.emplace_back(line); });
    for (bool timers : {false, true}) {
        harbor::RecordTracer tracer(timers);
        lines.clear();
        canvases_->Refresh();
        const bool traced = std::any_of(lines.begin(), lines.end(),
                                        [](const std::string& l) { return l.find("30072") != std::string::npos; });
        EXPECT_EQ(traced, timers);
    }
    harbor::TraceLog::Instance().SetSink(nullptr);
    EXPECT_EQ(up_pivot.requests.size(), 2u);
}

TEST_F(CanvasSpriteTest, DeletionRemovesSpriteAndParts) {
    const CanvasParts parts = MakeCanvasSprite(A("CvList"), kScene, A("TestPivotUp"), {100, 50, 60, 40});
    EXPECT_EQ(Refreshed().At(130, 70), Rgb(255, 0, 0));
    Req(30004).Name("CvList").SendTo(kScene);
    EXPECT_FALSE(service_->FindSprite(A("CvList")));
    for (uint16_t part : {A("CvList"), parts.effect, parts.bitmap}) Req(30004).Atom("NAME", part).PostTo(A("ResPort"));
    HxRunUntilIdle();
    for (uint16_t part : {A("CvList"), parts.effect, parts.bitmap}) EXPECT_FALSE(canvases_->Knows(part)) << part;
    EXPECT_EQ(Refreshed().At(130, 70), Rgb(255, 255, 255));
    EXPECT_EQ(NewBitmap(5, 5), parts.bitmap) << "the bitmap's name is free again";
}

// With the atom table full no new bitmap name can be made: the bitmap is refused rather than
// searched for forever, and a deleted one's name still serves. In a child process, since the
// table stays full for as long as the process lives.
TEST_F(CanvasSpriteTest, FullAtomTableRefusesANewBitmapButReusesAFreedName) {
    const uint16_t kept = NewBitmap(5, 5);
    ASSERT_NE(kept, 0);
    const uint16_t res_port = A("ResPort");
    EXPECT_EXIT(
        {
            alarm(20);  // a search that never ends fails the case instead of hanging the run
            for (int i = 0; DaNameGet(("CvFiller " + std::to_string(i)).c_str()) != 0; ++i) {
            }
            // Names made before the table filled (by earlier tests too) are still given out.
            int made = 0;
            while (made < 1000 && NewBitmap(5, 5) != 0) ++made;
            const bool refused = made < 1000;
            Req(30004).Atom("NAME", kept).PostTo(res_port);
            HxRunUntilIdle();
            std::exit(refused && NewBitmap(5, 5) == kept ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(CanvasSpriteTest, ButtonShowsItsDownLookWhilePressed) {
    // A drawn button: "down" and "up" looks with a bitmap and a pivot each, kind BUTTON.
    down_pivot.fill = Colour{0, 0, 255, 255};
    NewSprite(A("CvButton"));
    MakeLook(A("CvButton"), "down", A("TestPivotDown"), 16, 16);
    MakeLook(A("CvButton"), "up", A("TestPivotUp"), 16, 16);
    Place(A("CvButton"), kScene, {.x = 200, .y = 100, .z = 4, .button = true, .visible = false});
    ASSERT_TRUE(service_->FindSprite(A("CvButton")));
    EXPECT_EQ(service_->FindSprite(A("CvButton"))->kind, harbor::SpriteKind::Button);
    EXPECT_EQ(Refreshed().At(208, 108), Rgb(255, 0, 0));
    EXPECT_EQ(up_pivot.requests.size(), 1u);
    EXPECT_EQ(down_pivot.requests.size(), 1u) << "both looks are ready before the press";

    ASSERT_TRUE(service_->PointerDown(208, 108));
    const uint64_t before = service_->Scene(kScene)->Revision();
    EXPECT_EQ(Refreshed().At(208, 108), Rgb(0, 0, 255));
    EXPECT_GT(service_->Scene(kScene)->Revision(), before) << "the look changed: the window must repaint";
    service_->PointerUp(300, 300);
    EXPECT_EQ(Refreshed().At(208, 108), Rgb(255, 0, 0));
}

}  // namespace
