// What a canvas sprite's picture says: the texts its pivot drew on the picture now shown, kept
// with the picture when the pivot has nothing new.
#include <string>
#include <vector>

#include "canvas_sprite_support.h"

namespace {

using namespace canvas_test;

const uint16_t kScene = A("ScRtTest");

std::vector<std::string> rows;  // what the test pivot writes, one row 20 units below the other
bool rows_updated = true;

bool HXCALL OnRowsPivot(EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    if (canvas == nullptr) return false;
    canvas->SelectFont("Comic Sans MS", 0, 12);
    float y = 0;
    for (const std::string& row : rows) {
        canvas->MoveTo(2, y);
        canvas->DrawText(row.c_str());
        y += 20;
    }
    if (rows_updated) EDictPutBool(record, A("UPDATED"), true);
    return true;
}

class CanvasSpriteTextTest : public CanvasSpriteTest {
protected:
    void SetUp() override {
        CanvasSpriteTest::SetUp();
        rows = {};
        rows_updated = true;
        HxPortAttach(A("TestRowsPivot"), &OnRowsPivot);
    }
    void TearDown() override {
        HxPortDetach(A("TestRowsPivot"), &OnRowsPivot);
        CanvasSpriteTest::TearDown();
    }
};

TEST_F(CanvasSpriteTextTest, TheShownPictureSaysWhatWasDrawnOnIt) {
    const uint16_t list = A("CvRows");
    MakeCanvasSprite(list, kScene, A("TestRowsPivot"), Placement{10, 10, 120, 60});
    HxRunUntilIdle();
    EXPECT_FALSE(canvases_->DrawnText(kScene, list)) << "nothing before the first picture";

    rows = {"Bob", "Hello Ann"};
    canvases_->Refresh();
    ASSERT_TRUE(canvases_->DrawnText(kScene, list));
    EXPECT_EQ(*canvases_->DrawnText(kScene, list), "Bob\nHello Ann");

    // Drawn without UPDATED: the picture stays, and so do its texts.
    rows = {"Carol"};
    rows_updated = false;
    canvases_->Refresh();
    EXPECT_EQ(*canvases_->DrawnText(kScene, list), "Bob\nHello Ann");
    rows_updated = true;
    canvases_->Refresh();
    EXPECT_EQ(*canvases_->DrawnText(kScene, list), "Carol");

    EXPECT_FALSE(canvases_->DrawnText(kScene, A("CvNobody")));
}

}  // namespace
