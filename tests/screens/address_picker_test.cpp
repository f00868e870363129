// The write screen's address picker: where it sits and how it paints itself.
#include "screens/address_picker.h"

#include <gtest/gtest.h>

#include "fake_canvas.h"
#include "hxmsg.h"
#include "messaging/name_atoms.h"
#include "../controls/request_fields.h"

namespace {

using wm::testing::FakeCanvas;
using wm::testing::Painted;
using wm::testing::SameColour;

TEST(AddressPicker, PaintsBlueFramedInBlackWithEachRowInsetByTwo) {
    HxReset();
    wm::PMAddressPicker picker(atoms::ports::ScWrWrite, atoms::ports::WritePort);
    EXPECT_EQ(Bounds(picker), (std::vector<uint32_t>{137, 100, 90, 150}));
    picker.AddItem("anna", 1);
    picker.AddItem("Bob", 2);
    picker.Select(1);
    FakeCanvas canvas(72, 150);
    ASSERT_TRUE(picker.Draw(canvas));
    const std::vector<Painted>& paint = canvas.Paint();
    ASSERT_GE(paint.size(), 4u);
    EXPECT_TRUE(paint[0].filled);
    EXPECT_TRUE(SameColour(paint[0].colour, wm::PMAddressPicker::kBackground));
    EXPECT_FALSE(paint[1].filled);
    EXPECT_TRUE(SameColour(paint[1].colour, wm::Rgb{0, 0, 0}));
    EXPECT_EQ(paint[1].x2, 72.0f);
    EXPECT_EQ(paint[1].y2, 150.0f);
    // Rows are 14 high (12 of text and 2): each is drawn from 2 in to 2 short of its edges.
    const uint32_t rows = picker.RowHeight();
    EXPECT_EQ((std::vector<float>{paint[2].x1, paint[2].y1, paint[2].x2, paint[2].y2}),
              (std::vector<float>{2, 2, 70, static_cast<float>(rows - 2)}));
    EXPECT_TRUE(SameColour(paint[2].colour, wm::PMAddressPicker::kBackground));
    EXPECT_EQ(paint[3].y1, static_cast<float>(rows + 2));
    EXPECT_FALSE(SameColour(paint[3].colour, wm::PMAddressPicker::kBackground)) << "the picked row stands out";
    EXPECT_FALSE(picker.Draw(canvas)) << "nothing changed: no repaint";
}

}  // namespace
