// What a canvas sprite's picture says: the texts its pivot drew on the picture now shown, kept
// with the picture when the pivot has nothing new.
#include "canvas_test_support.h"

namespace {

using namespace canvas_test;

TEST_F(CanvasSpriteTest, TheShownPictureSaysWhatWasDrawnOnIt) {
    const uint16_t scene = A("ScRtTest");
    const uint16_t list = A("CvRows");
    MakeCanvasSprite(list, scene, A("TestPivotUp"), Placement{10, 10, 120, 60});
    HxRunUntilIdle();
    EXPECT_FALSE(canvases_->DrawnText(scene, list)) << "nothing before the first picture";

    up_pivot.rows = {"Bob", "Hello Ann"};
    canvases_->Refresh();
    ASSERT_TRUE(canvases_->DrawnText(scene, list));
    EXPECT_EQ(*canvases_->DrawnText(scene, list), "Bob\nHello Ann");

    // Drawn without UPDATED: the picture stays, and so do its texts.
    up_pivot.rows = {"Carol"};
    up_pivot.updated = false;
    canvases_->Refresh();
    EXPECT_EQ(*canvases_->DrawnText(scene, list), "Bob\nHello Ann");
    up_pivot.updated = true;
    canvases_->Refresh();
    EXPECT_EQ(*canvases_->DrawnText(scene, list), "Carol");

    EXPECT_FALSE(canvases_->DrawnText(scene, A("CvNobody")));
}

}  // namespace
