#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/mailbox_list.h"
#include "fake_canvas.h"
#include "controls_fixture.h"

namespace wm::testing {
namespace {

// The fake canvas measures 7 units per character.
std::string Fit(const char* text, int32_t room, std::size_t* measures = nullptr) {
    FakeCanvas canvas(100, 100);
    char out[kLineBufferSize];
    FitText(canvas, text, room, out);
    if (measures != nullptr) *measures = canvas.OpsNamed("MeasureText").size();
    return out;
}

TEST(TextFitting, KeepsTextsThatFitAndShortensOthersWithAnEllipsis) {
    EXPECT_EQ(Fit("abcde", 35), "abcde");
    std::size_t measures = 0;
    EXPECT_EQ(Fit("abcdef", 35, &measures), "ab...") << "the longest part that fits with ...";
    EXPECT_EQ(measures, 5u) << "once, then once per removed character";
    EXPECT_EQ(Fit("abcdef", 41), "ab...");
    EXPECT_EQ(Fit("abcdef", 42), "abcdef");
    EXPECT_EQ(Fit("abcdefg", 42), "abc...");
    EXPECT_EQ(Fit("abc", 20), "...") << "not even one character fits with ...";
    EXPECT_EQ(Fit("abc", -5), "...");
    EXPECT_EQ(Fit("", 0, &measures), "");
    EXPECT_EQ(measures, 0u);
    const std::string longest(400, 'x');
    EXPECT_EQ(Fit(longest.c_str(), 10000), std::string(255, 'x'));
}

TEST(ColumnBoundaries, DropTheFractionsOfTheFloatSums) {
    const ColumnShares shares{25, 58, 17};
    const ColumnBounds at_zero = ColumnBoundaries(shares, 0, 405);
    EXPECT_EQ(at_zero.subject_x, 105);
    EXPECT_EQ(at_zero.date_x, 339);
    const ColumnBounds shifted = ColumnBoundaries(shares, 10, 415);
    EXPECT_EQ(shifted.subject_x, 115);
    EXPECT_EQ(shifted.date_x, 349);
    // The single-precision factor falls just short: 20% of 500 plus 4 truncates to 103.
    EXPECT_EQ(ColumnBoundaries(ColumnShares{20, 50, 30}, 0, 500).subject_x, 103);
}

class MailboxListTest : public ControlsTest {
protected:
    ListBoxGeometry Spec() const { return ListBoxGeometry{0, 0, 422, 84, 16, false, scene_, events_, 0, 0, false, 5}; }
};

TEST_F(MailboxListTest, RowsShowThreeFittedColumnsOnAlternateTints) {
    PMMailboxList list(Spec(), ColumnShares{25, 58, 17});
    list.AddItem("Ann\tHello there\tMon 5\tNEW", 1);
    list.AddItem("Bartholomew Smith-Jones\tA subject far too long for its column of room\t"
                 "Tuesday 12 December 2026 at noon\tREAD",
                 2);
    list.AddItem("Cy\tHi", 3);
    list.AddItem("Dee\tYo\tWed", 4);
    list.Select(2);
    FakeCanvas canvas(406, 84);  // rows from 0 to 405: columns at 105 and 339
    EDict request = DrawRecord(list.Sprite(), &canvas);
    ASSERT_TRUE(PMListBoxBase::PM_ListDraw(&request));

    // From has 105 - 7 = 98 units (14 characters), Subject 231 (33), Date 63 (9); the fourth
    // field is never drawn.
    EXPECT_EQ(canvas.DrawnTexts(), (std::vector<std::string>{"Ann", "Hello there", "Mon 5", "Bartholomew...",
                                               "A subject far too long for its...", "Tuesda...", "Cy", "Hi", "",
                                               "Dee", "Yo", "Wed"}));
    const auto moves = canvas.OpsNamed("MoveTo");
    ASSERT_EQ(moves.size(), 12u);
    EXPECT_FLOAT_EQ(moves[3].args[0], 4.0f);
    EXPECT_FLOAT_EQ(moves[4].args[0], 105.0f);
    EXPECT_FLOAT_EQ(moves[5].args[0], 339.0f);
    EXPECT_FLOAT_EQ(moves[5].args[1], 14.0f);

    const Rgb expected[] = {{240, 246, 244}, {255, 251, 240}, {180, 180, 180}, {255, 251, 240}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_TRUE(canvas.Shows(200, static_cast<float>(row * 14 + 5), expected[row])) << "row " << row;
    }
    EXPECT_TRUE(list.IsOwnSprite(list.Sprite()));
    EXPECT_FALSE(list.IsOwnSprite(list.ScrollBar().BarSprite()));
    EXPECT_FALSE(list.IsOwnSprite(0));
}

}  // namespace
}  // namespace wm::testing
