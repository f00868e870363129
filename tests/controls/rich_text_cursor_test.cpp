#include "rich_text_fixture.h"

namespace wm::testing {
namespace {

using Spot = std::pair<int32_t, int32_t>;

class RichTextCursorTest : public RichTextTest {
protected:
    uint32_t Position() const { return view_->Cursor().Position(); }
    bool AtEnd() const { return view_->Cursor().AtLineEnd(); }
    uint32_t Top() const { return view_->Layout().TopLine(); }
    std::string Text() const { return view_->ProducePlainBodyText(); }
    // A key followed by the paint that places the cursor.
    void KeyAndPaint(int32_t key, bool control = false) {
        EXPECT_TRUE(Key(key, control));
        Paint();
    }
    // A press at (x, y) inside the text area, then the paint that resolves it.
    uint32_t PressAndPaint(int32_t x, int32_t y) {
        Press(kTextLeft + x, kTextTop + y);
        Paint();
        return Position();
    }
    Spot At(int32_t x, int32_t line) const { return {kTextLeft + x, kTextTop + 40 * line}; }
    struct Step {
        int32_t key;
        bool control;
        uint32_t position;  // where the cursor is after the key and a paint
    };
    void Walk(std::initializer_list<Step> steps) {
        for (const Step& step : steps) {
            KeyAndPaint(step.key, step.control);
            EXPECT_EQ(Position(), step.position) << "after key " << step.key << (step.control ? " with Control" : "");
        }
    }
    void Blink() { Send(Record(atoms::actions::CursorBlinkMessage)); }
};

// "hello world foo": line 1 is "hello " (1..6), line 2 "world foo" (7..15).
TEST_F(RichTextCursorTest, ArrowsHomeAndEndFollowTheShownLineAndUpDownKeepTheOffset) {
    Start("hello world foo");
    EXPECT_EQ(Position(), 16u);
    EXPECT_EQ(CursorSpot(), At(63, 1));
    Walk({{VKEY_HOME, false, 7}});
    EXPECT_EQ(CursorSpot(), At(0, 1));
    Walk({{VKEY_LEFT, false, 6}});
    EXPECT_EQ(CursorSpot(), At(35, 0));
    Walk({{VKEY_END, false, 7}});
    EXPECT_TRUE(AtEnd());
    EXPECT_EQ(CursorSpot(), At(42, 0)) << "at the end of the wrapped line, not the next one";
    Walk({{VKEY_HOME, false, 1},  // Home acts on the line the cursor is shown on
          {VKEY_LEFT, false, 1},
          {VKEY_RIGHT, false, 2},
          {VKEY_END, true, 16},
          {VKEY_RIGHT, false, 16},
          {VKEY_HOME, true, 1},
          {VKEY_RIGHT, true, 7},
          {VKEY_RIGHT, true, 13},
          {VKEY_LEFT, true, 7}});
    // Up and Down keep the horizontal offset.
    Walk({{VKEY_HOME, true, 1}, {VKEY_RIGHT, false, 2}, {VKEY_RIGHT, false, 3}, {VKEY_DOWN, false, 9}});
    EXPECT_EQ(CursorSpot(), At(14, 1));
    Walk({{VKEY_DOWN, false, 9},  // no line below
          {VKEY_END, false, 16},
          {VKEY_UP, false, 7}});  // x 63 is past line 1
    EXPECT_FALSE(AtEnd());
    EXPECT_FALSE(Key(VKEY_UP, true)) << "Control with Up is left to the screen";
}

// "a\nb\nc\nd": line k holds position 2k - 1.
TEST_F(RichTextCursorTest, AnUpDownOrClickPendingAtThePaintWinsOverLaterKeys) {
    Start("a\nb\nc\nd");
    KeyAndPaint(VKEY_HOME, true);
    const auto Keys = [this](int32_t first, int32_t second) {
        Key(first);
        Key(second);
        Paint();
        return Position();
    };
    EXPECT_EQ(Keys(VKEY_DOWN, VKEY_DOWN), 3u) << "both aim at the line after the cursor's";
    EXPECT_EQ(Keys(VKEY_DOWN, VKEY_LEFT), 5u) << "the pending Down is resolved after the Left";
    EXPECT_EQ(Keys(VKEY_DOWN, VKEY_END), 7u);
    EXPECT_FALSE(AtEnd());
    Press(kTextLeft + 20, kTextTop + 5);  // past the end of the top line, line 2
    KeyAndPaint(VKEY_LEFT);
    EXPECT_EQ(Position(), 4u) << "the click is resolved after the Left";
    EXPECT_TRUE(AtEnd());
}

// "ab\n": line 1 is 1..2, line 2 the empty line at 4 after the final line feed.
TEST_F(RichTextCursorTest, EndAndPagingOnAnEmptyLineGoToItsLastPositionPlusOne) {
    Start("ab\n");
    EXPECT_EQ(Position(), 4u);
    EXPECT_EQ(CursorSpot(), At(0, 1)) << "below the last text line";
    Walk({{VKEY_END, false, 1}});  // an empty line's last position is 0
    EXPECT_TRUE(AtEnd());
    EXPECT_EQ(CursorSpot(), At(14, 0));
    Walk({{VKEY_DOWN, false, 4}, {VKEY_PAGE_DOWN, true, 1}});
    EXPECT_TRUE(AtEnd());

    view_->LoadPlainBodyText("x\n\n\n\nab");  // lines 2 to 4 are empty, line 5 is 6..7
    KeyAndPaint(VKEY_END, true);
    EXPECT_EQ(Top(), 3u);
    KeyAndPaint(VKEY_PAGE_UP);  // target line 2, empty: offset 2 is past its last position
    EXPECT_EQ(Position(), 1u);
    EXPECT_EQ(Top(), 1u);
}

// "ab\n\ncd": line 2 is the empty line at 4, line 3 is 5..6.
TEST_F(RichTextCursorTest, AClickOnAnEmptyLineBeforeATextLineStandsAtLineEnd) {
    Start("ab\n\ncd");
    EXPECT_EQ(PressAndPaint(10, 50), 4u);
    EXPECT_TRUE(AtEnd()) << "any position is past an empty line's last, 0";
    EXPECT_EQ(CursorSpot(), At(14, 0)) << "shown on the line of the position before";
    Key(VKEY_END, true);
    Type("\n\n");  // "ab\n\ncd\n\n": the empty line at 8 is followed by the empty line at 9
    Paint();
    EXPECT_EQ(PressAndPaint(10, 50), 8u);  // lines 3 to 5 are shown
    EXPECT_FALSE(AtEnd());
}

TEST_F(RichTextCursorTest, EditingKeysChangeTheTextAtTheCursor) {
    MakeView();
    Type("abcd");
    Key(VKEY_LEFT);
    EXPECT_TRUE(Key(VKEY_DELETE));
    EXPECT_TRUE(Key(VKEY_BACKSPACE));
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(Position(), 3u);
    Key(VKEY_HOME, true);
    EXPECT_TRUE(Key(VKEY_DELETE));
    EXPECT_EQ(Text(), "b");
    EXPECT_TRUE(Key(VKEY_BACKSPACE)) << "taken at position 1, doing nothing";
    EXPECT_EQ(Text(), "b");
    Key(VKEY_TAB);
    EXPECT_EQ(Text(), "     b");
    EXPECT_EQ(Position(), 6u);
    Key(VKEY_ENTER);
    EXPECT_EQ(Text(), "     \r\nb");
    Key(VKEY_END, true);
    EXPECT_TRUE(Key(VKEY_DELETE)) << "nothing after the end";
    EXPECT_EQ(Text(), "     \r\nb");
}

TEST_F(RichTextCursorTest, TypedCharactersAreTheSignedBytesFrom32To127) {
    MakeView();
    EXPECT_TRUE(TypedKey(VKEY_DELETE + 200, 127));  // a code above 127 reads negative
    EXPECT_FALSE(TypedKey(65, 200));
    EXPECT_FALSE(Key(VKEY_F1)) << "no ASCII: not taken";
    EXPECT_EQ(Text(), "\x7f");
    EXPECT_TRUE(TypedKey(VKEY_COMMA, ','));  // 188 reads as a negative byte
    EXPECT_EQ(Text(), "\x7f,");
    for (int32_t key : {VKEY_C, VKEY_V, VKEY_X}) EXPECT_TRUE(Key(key, true)) << key;
    EXPECT_TRUE(Key(VKEY_ESCAPE));
    for (int32_t key : {VKEY_BACKSPACE, VKEY_ENTER, VKEY_DELETE, VKEY_A}) EXPECT_FALSE(Key(key, true)) << key;
    EXPECT_EQ(Text(), "\x7f,");
}

TEST_F(RichTextCursorTest, PagesMoveByTheVisibleCountAtTheSameOffset) {
    Start("a\nb\nc\nd\ne\nf\ng\nhh");  // eight lines, line k at 2k - 1
    EXPECT_EQ(Top(), 6u);
    Walk({{VKEY_LEFT, false, 16}, {VKEY_PAGE_UP, false, 10}});  // line 5 has no offset 1: its end
    EXPECT_EQ(Top(), 3u);
    EXPECT_EQ(CursorSpot(), At(7, 2));
    KeyAndPaint(VKEY_PAGE_UP);
    Walk({{VKEY_PAGE_UP, false, 2}});
    EXPECT_EQ(Top(), 1u);
    Walk({{VKEY_PAGE_DOWN, false, 8}});
    EXPECT_EQ(Top(), 4u);
    KeyAndPaint(VKEY_PAGE_DOWN);
    Walk({{VKEY_PAGE_DOWN, false, 16}});
    EXPECT_EQ(Top(), 6u) << "the view stays full";
    Walk({{VKEY_PAGE_UP, true, 11}, {VKEY_PAGE_DOWN, true, 17}});
    EXPECT_TRUE(AtEnd());
}

TEST_F(RichTextCursorTest, ClicksGoBeforeOrAfterAnElementAtItsHalfway) {
    Start("hello world foo");
    view_->Unfocus();
    EXPECT_TRUE(Press(kTextLeft + 10, kTextTop + 5));  // 'e' spans 7..14: halfway 10.5
    EXPECT_TRUE(view_->Focused()) << "a click focuses";
    Paint();
    EXPECT_EQ(Position(), 2u);
    EXPECT_EQ(PressAndPaint(11, 5), 3u);
    EXPECT_EQ(PressAndPaint(3, 5), 1u);  // 'h' 0..7: halfway 3.5
    EXPECT_EQ(PressAndPaint(69, 40), 7u) << "past line 1: bottom edge 40 still counts";
    EXPECT_TRUE(AtEnd());
    EXPECT_EQ(CursorSpot(), At(42, 0));
    EXPECT_EQ(PressAndPaint(70, 120), 16u) << "the far corner: below every line";
    EXPECT_FALSE(AtEnd());
    EXPECT_FALSE(Press(kTextLeft + 71, kTextTop + 5));
    EXPECT_FALSE(Press(kTextLeft - 1, kTextTop + 5));
    EXPECT_FALSE(Press(kTextLeft, kTextTop + 121));
}

TEST_F(RichTextCursorTest, EditorButtonsScrollTheCursorAwayUntilItMovesAgain) {
    Start("a\nb\nc\nd\ne\nf\ng\nh");
    EXPECT_TRUE(Button(atoms::richview::BtnWrEditorDown));
    EXPECT_FALSE(view_->NeedsPaint()) << "already at the bottom";
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Button(atoms::richview::BtnWrEditorUp));
    EXPECT_EQ(Top(), 3u);
    // The lines shown, the cursor hidden and shown again: the write_rich_text session.
    Paint();
    EXPECT_FALSE(view_->Cursor().InView());
    KeyAndPaint(VKEY_LEFT);
    EXPECT_TRUE(view_->Cursor().InView());
    EXPECT_EQ(CursorSpot(), At(0, 2));
    EXPECT_FALSE(Button(FetchAtom("BtnWrDone")));
}

TEST_F(RichTextCursorTest, PendingBlinksKeepTheCursorSteadyWhileItMoves) {
    Start("ab");  // the first placement moves the sprite
    EXPECT_EQ(view_->Cursor().PendingBlinks(), 1u);
    const auto blinks = [&] { return Host().Posted(atoms::ports::WritePort, atoms::actions::CursorBlinkMessage); };
    EXPECT_EQ(blinks().size(), 2u) << "the chain started at creation, and one more for the move";
    Host().Forget();
    Blink();
    EXPECT_EQ(view_->Cursor().PendingBlinks(), 0u);
    EXPECT_EQ(blinks().size(), 0u) << "a swallowed blink ends its chain";
    EXPECT_EQ(LastCursorVisible(), -1);
    Blink();
    EXPECT_EQ(LastCursorVisible(), 0);
    Blink();
    EXPECT_EQ(LastCursorVisible(), 1);
    ASSERT_EQ(blinks().size(), 2u);
    EXPECT_EQ(EDictKeyCount(&blinks()[0].record), 0);

    view_->Unfocus();
    Host().Forget();
    Blink();
    EXPECT_EQ(LastCursorVisible(), -1) << "an unfocused cursor does not blink";
    EXPECT_EQ(blinks().size(), 1u) << "but the chain goes on";
}

TEST_F(RichTextCursorTest, ReadOnlyAndUnfocusedViewsLeaveKeysAndClicksAlone) {
    MakeView();
    Type("abc");
    view_->SetReadOnly(true);
    EXPECT_EQ(LastCursorVisible(), 0);
    EXPECT_FALSE(Char('x'));
    EXPECT_TRUE(Press(kTextLeft, kTextTop)) << "taken, but the cursor stays";
    Paint();
    EXPECT_EQ(Position(), 4u);
    Host().Forget();
    EXPECT_TRUE(Send(Named(code::kSpriteReady, atoms::richview::AniWrCursor)));
    EXPECT_EQ(LastCursorVisible(), 0);
    view_->SetReadOnly(false);
    EXPECT_EQ(LastCursorVisible(), 1);
    view_->Unfocus();
    EXPECT_FALSE(Char('x'));
    EXPECT_EQ(Text(), "abc");
}

}  // namespace
}  // namespace wm::testing
