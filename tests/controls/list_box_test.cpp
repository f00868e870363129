#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/list_box.h"
#include "controls/mailbox_list.h"
#include "fake_canvas.h"
#include "controls_fixture.h"
#include "hxmsg.h"

namespace wm::testing {
namespace {

// Rows measure 12 + 2 = 14 on the fake canvas: a height of 70 shows five of them.
class RecordingList : public PMListBox {
public:
    using PMListBox::PMListBox;
    void RowClicked(uint32_t index, bool selected, bool, bool) override {
        clicks.push_back(std::to_string(index) + (selected ? "+" : "-"));
    }
    std::vector<std::string> clicks;
};

class ListBoxTest : public ControlsTest {
protected:
    ListBoxGeometry Spec(bool multiple) const {
        return ListBoxGeometry{0, 0, 216, 70, 16, multiple, scene_, events_, 0, 0, false, 5};
    }

    void TearDown() override {
        list_.reset();
        ControlsTest::TearDown();
    }
    // A list of count items ("item n", data 100 + n), painted once.
    RecordingList& PaintedList(bool multiple, uint32_t count) {
        list_ = std::make_unique<RecordingList>(Spec(multiple));
        Fill(*list_, count);
        FakeCanvas canvas(200, 70);
        EDict request = DrawRecord(list_->Sprite(), &canvas);
        PMListBoxBase::PM_ListDraw(&request);
        return *list_;
    }

    static void Fill(PMListBoxBase& list, uint32_t count) {
        for (uint32_t i = 0; i < count; ++i) {
            const std::string text = "item " + std::to_string(i);
            list.AddItem(text.c_str(), 100 + i);
        }
    }

    // A press and release on the row area at (x, y).
    static void Click(PMListBoxBase& list, int32_t y, bool shift = false, bool ctrl = false) {
        list.MouseDown(20, y, shift, ctrl);
        list.MouseUp(20, y, shift, ctrl);
    }

    static Numbers Selection(const PMListBoxBase& list) {
        Numbers indexes;
        for (uint32_t n = 0; list.SelectedIndexAt(n) >= 0; ++n) indexes.push_back(list.SelectedIndexAt(n));
        return indexes;
    }

    std::unique_ptr<RecordingList> list_;
};

// Building and taking down a list sends sprite requests, and the host may deliver messages
// meanwhile: they reach no part of the list until it is whole, and none once its teardown began.
TEST_F(ListBoxTest, MessagesDeliveredWhileAListIsBuiltOrTakenDownReachNoPartOfIt) {
    static uint16_t events = 0;
    events = events_;
    const HxHandler tickFromTheScene = [](EDict*) {
        EDict tick = Record(code::kTick);
        HxPortSend(events, &tick);
        return false;
    };
    HxPortAttach(scene_, tickFromTheScene);
    list_ = std::make_unique<RecordingList>(Spec(false));
    Fill(*list_, 3);
    list_.reset();
    HxPortDetach(scene_, tickFromTheScene);
}

TEST_F(ListBoxTest, ScrollBarPageAndPositionFollowTheRows) {
    RecordingList& list = PaintedList(false, 10);
    EXPECT_EQ(list.RowHeight(), 14u);
    EXPECT_EQ(list.VisibleRows(), 5u);
    PMScroll& bar = list.ScrollBar();
    EXPECT_EQ(bar.PageRatio(), 200u);
    EXPECT_EQ(bar.Step(), 21u) << "100 * 14 / 70 + 1";
    list.SetTopRow(5);
    EXPECT_EQ(bar.GetPosition(), 10000u);
    list.SetTopRow(1);
    EXPECT_EQ(bar.GetPosition(), 2000u);
    bar.SetPosition(5000);
    list.SyncFromScrollBar();
    EXPECT_EQ(list.GetTopRow(), 2u) << "(5000 * 5 + 2500) / 10000";
    bar.SetPosition(7500);
    list.SyncFromScrollBar();
    EXPECT_EQ(list.GetTopRow(), 4u);

    list.RemoveAll();
    EXPECT_EQ(bar.PageRatio(), 100u);
    EXPECT_EQ(bar.GetPosition(), 0u);
    list.SyncFromScrollBar();
    EXPECT_EQ(list.GetTopRow(), 0u);
}

TEST_F(ListBoxTest, ScrollingStopsAtBothEnds) {
    RecordingList& list = PaintedList(false, 7);
    list.ScrollUp();
    EXPECT_EQ(list.GetTopRow(), 0u);
    for (int i = 0; i < 5; ++i) list.ScrollDown();
    EXPECT_EQ(list.GetTopRow(), 2u) << "the last item is on the bottom row";
    list.SetTopRow(7);
    EXPECT_EQ(list.GetTopRow(), 2u);
    list.ScrollUp();
    EXPECT_EQ(list.GetTopRow(), 1u);
}

TEST_F(ListBoxTest, PlainClicksSelectOneRowAndPostTheChange) {
    RecordingList& list = PaintedList(false, 10);
    list.SetTopRow(3);
    Click(list, 30);  // row 30 / 14 + 3
    EXPECT_EQ(Selection(list), (Numbers{5}));
    const auto added = Host().Posted(events_, atoms::actions::aPMListBoxAddSelectedItem);
    EXPECT_EQ(Longs(added, atoms::ID), Numbers{105});
    EXPECT_EQ(Longs(added, atoms::controls::ITEM), Numbers{5});
    EXPECT_STREQ(EDictGetText(&added[0].record, atoms::STRING), "item 5");
    EXPECT_EQ(EDictGetPointer(&added[0].record, atoms::controls::POINTER), &list);

    // Ctrl and shift mean nothing to a single-selection list.
    Click(list, 2, false, true);
    EXPECT_EQ(Selection(list), (Numbers{3}));
    Click(list, 60, true, false);
    EXPECT_EQ(Selection(list), (Numbers{7}));
    EXPECT_EQ(list.clicks, (Lines{"5+", "3+", "7+"}));
    EXPECT_EQ(Host().Posted(events_, atoms::actions::aPMListBoxRemoveSelectedItem).size(), 2u);

    // Select itself, not only a click, drops the earlier row of a single-selection list.
    list.Select(1);
    Host().Forget();
    list.Select(2);
    EXPECT_EQ(Selection(list), (Numbers{2}));
    EXPECT_EQ(Longs(Host().Posted(events_, atoms::actions::aPMListBoxRemoveSelectedItem), atoms::controls::ITEM),
              Numbers{1});
}

TEST_F(ListBoxTest, CtrlTogglesAndShiftSelectsTheRangeInMultipleLists) {
    RecordingList& list = PaintedList(true, 10);
    Click(list, 50, true, false);  // shift with nothing selected: only row 3
    EXPECT_EQ(Selection(list), (Numbers{3}));
    Click(list, 5, false, true);
    EXPECT_EQ(Selection(list), (Numbers{3, 0}));
    Click(list, 30, true, false);  // from the last selected (0) up to row 2
    EXPECT_EQ(Selection(list), (Numbers{3, 0, 1, 2}));
    Click(list, 50, false, true);
    EXPECT_EQ(Selection(list), (Numbers{0, 1, 2}));
    EXPECT_EQ(list.clicks, (Lines{"3+", "0+", "0+", "1+", "2+", "3-"}));
    Click(list, 20);
    EXPECT_EQ(Selection(list), (Numbers{1}));
}

TEST_F(ListBoxTest, ClickBelowTheLastItemClearsTheSelection) {
    RecordingList& list = PaintedList(true, 3);
    list.Select(0);
    list.Select(2);
    list.clicks.clear();
    Click(list, 60);
    EXPECT_TRUE(Selection(list).empty());
    EXPECT_EQ(list.clicks, (Lines{"0-", "2-"}));
    // Presses on the scroll bar's strip or released elsewhere are no clicks.
    list.MouseDown(200, 5, false, false);  // the strip's first column
    list.MouseUp(200, 5, false, false);
    list.MouseDown(20, 5, false, false);
    list.MouseUp(20, 95, false, false);
    EXPECT_TRUE(Selection(list).empty());
}

TEST_F(ListBoxTest, RepaintDrawsTheVisibleRowsOnly) {
    RecordingList& list = PaintedList(false, 10);
    list.SetTopRow(2);
    list.Select(3);
    FakeCanvas canvas(200, 70);
    EDict request = DrawRecord(list.Sprite(), &canvas);
    ASSERT_TRUE(HxPortSend(atoms::controls::ListCanvasPort, &request));
    EXPECT_EQ((Numbers{EDictGetLong(&request, atoms::WIDTH), EDictGetLong(&request, atoms::HEIGHT)}),
              (Numbers{216, 70}));

    const auto texts = canvas.OpsNamed("DrawText");
    ASSERT_EQ(texts.size(), 5u);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].text, "item " + std::to_string(i + 2));
        EXPECT_FLOAT_EQ(texts[i].args[0], 4.0f);
        EXPECT_FLOAT_EQ(texts[i].args[1], 14.0f * static_cast<float>(i));
    }
    EXPECT_TRUE(canvas.Shows(100, 5, Rgb{240, 240, 240}));
    const auto fonts = canvas.OpsNamed("SelectFont");
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts[0].text, "Times");
    EXPECT_FLOAT_EQ(fonts[0].args[1], 14.0f);
    EXPECT_FLOAT_EQ(fonts[2].args[0], 1.0f) << "the selected row is bold";

    FakeCanvas clean(200, 70);
    EDict again = DrawRecord(list.Sprite(), &clean);
    EXPECT_FALSE(PMListBoxBase::PM_ListDraw(&again));
    EXPECT_TRUE(clean.Ops().empty());
    list.SetFont("Comic Sans MS", 18);
    EXPECT_TRUE(list.Dirty());
}

TEST_F(ListBoxTest, ARefusedDrawRequestCountsAsTheVeryFirst) {
    PMListBoxBase::DrawAnswers().Reset();
    RecordingList list(Spec(false));
    FakeCanvas canvas(200, 70);
    EDict refused = DrawRecord(FetchAtom("not a list"), &canvas);
    EXPECT_FALSE(PMListBoxBase::PM_ListDraw(&refused));
    EDict first = DrawRecord(list.Sprite(), &canvas);
    ASSERT_TRUE(PMListBoxBase::PM_ListDraw(&first));
    EXPECT_TRUE(EDictHasKey(&first, atoms::X)) << "the refused request was the first";
}

TEST_F(ListBoxTest, ItemsAndSelectionKeepTheirIndexes) {
    RecordingList list(Spec(true));
    EXPECT_FALSE(list.AddItem(nullptr, 1));
    Fill(list, 4);
    list.Select(2);
    list.Select(9);
    list.RemoveItem(0);
    list.RemoveItem(9);
    EXPECT_EQ(list.GetItemCount(), 3u);
    EXPECT_EQ(Selection(list), (Numbers{2})) << "not renumbered";
    EXPECT_STREQ(list.SelectedText(0).text, "item 3");
    EXPECT_EQ(list.SelectedText(1).text, nullptr);
    EXPECT_EQ(list.SelectedText(1).data, 0u);
    EXPECT_STREQ(list.FindItem(102), "item 2");
    EXPECT_EQ(list.FindItem(100), nullptr);
    EXPECT_EQ(list.ItemAt(3).text, nullptr);
}

TEST_F(ListBoxTest, KeysAndArrowsScrollTheRowsThroughTheBar) {
    RecordingList& list = PaintedList(false, 10);
    EXPECT_TRUE(list.Key(34, false, false));
    EXPECT_EQ(list.GetTopRow(), 2u) << "a page of 5000: (5000 * 5 + 2500) / 10000";
    EXPECT_TRUE(list.Key(36, false, false));
    EXPECT_EQ(list.GetTopRow(), 0u);

    // The arrow moves the list one row; the bar follows.
    EDict press = Named(code::kPress, list.ScrollBar().DownArrow(), 100);
    HxPortSend(events_, &press);
    EXPECT_EQ(list.GetTopRow(), 1u);
    EXPECT_EQ(list.ScrollBar().GetPosition(), 2000u);
    EXPECT_TRUE(list.OwnsSprite(list.ScrollBar().DownArrow()));
    EXPECT_EQ(PMControlBase::Captured(), &list.ScrollBar());
}

TEST_F(ListBoxTest, TheLastListDetachesItsCanvasPortAndRestartsTheNames) {
    {
        RecordingList a(Spec(false));
        RecordingList b(Spec(false));
        EXPECT_STREQ(DaNameGetString(b.Sprite()), "PM List Box Name Number 1");
    }
    FakeCanvas canvas(200, 70);
    EDict request = DrawRecord(1, &canvas);
    EXPECT_FALSE(HxPortSend(atoms::controls::ListCanvasPort, &request));
    RecordingList again(Spec(false));
    EXPECT_STREQ(DaNameGetString(again.Sprite()), "PM List Box Name Number 0");
}

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

using MailboxListTest = ControlsTest;

TEST_F(MailboxListTest, RowsShowThreeFittedColumnsOnAlternateTints) {
    PMMailboxList list(ListBoxGeometry{0, 0, 422, 84, 16, false, scene_, events_, 0, 0, false, 5},
                       ColumnShares{25, 58, 17});
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
