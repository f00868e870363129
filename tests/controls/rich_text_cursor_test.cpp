#include <gtest/gtest.h>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "rich_text_fixture.h"
#include "virtual_keys.h"

namespace wm::testing {
namespace {

using Spot = std::pair<int32_t, int32_t>;

class RichTextCursorTest : public RichTextTest {
protected:
    uint32_t Position() const { return view_->Cursor().Position(); }
    std::string Text() const { return view_->ProducePlainBodyText(); }
    // A key followed by the paint that places the cursor.
    void KeyAndPaint(int32_t key, bool control = false) {
        EXPECT_TRUE(Key(key, control));
        Paint();
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
TEST_F(RichTextCursorTest, ArrowsHomeAndEndFollowTheShownLine) {
    MakeView();
    Type("hello world foo");
    Paint();
    EXPECT_EQ(Position(), 16u);
    EXPECT_EQ(CursorSpot(), At(63, 1));
    Walk({{VKEY_HOME, false, 7}});
    EXPECT_EQ(CursorSpot(), At(0, 1));
    Walk({{VKEY_LEFT, false, 6}});
    EXPECT_EQ(CursorSpot(), At(35, 0));
    Walk({{VKEY_END, false, 7}});
    EXPECT_TRUE(view_->Cursor().AtLineEnd());
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
}

TEST_F(RichTextCursorTest, UpAndDownKeepTheHorizontalOffset) {
    MakeView();
    Type("hello world foo");
    Paint();
    Walk({{VKEY_HOME, true, 1}, {VKEY_RIGHT, false, 2}, {VKEY_RIGHT, false, 3}, {VKEY_DOWN, false, 9}});
    EXPECT_EQ(CursorSpot(), At(14, 1));
    Walk({{VKEY_DOWN, false, 9},  // no line below
          {VKEY_END, false, 16},
          {VKEY_UP, false, 7}});  // x 63 is past line 1
    EXPECT_FALSE(view_->Cursor().AtLineEnd());
    EXPECT_FALSE(Key(VKEY_UP, true)) << "Control with Up is left to the screen";
}

// "a\nb\nc\nd": line k holds position 2k - 1.
TEST_F(RichTextCursorTest, AnUpDownOrClickPendingAtThePaintWinsOverLaterKeys) {
    MakeView();
    Type("a\nb\nc\nd");
    Paint();
    KeyAndPaint(VKEY_HOME, true);
    Key(VKEY_DOWN);
    Key(VKEY_DOWN);
    Paint();
    EXPECT_EQ(Position(), 3u) << "both aim at the line after the cursor's";
    Key(VKEY_DOWN);
    Key(VKEY_LEFT);
    Paint();
    EXPECT_EQ(Position(), 5u) << "the pending Down is resolved after the Left";
    Key(VKEY_DOWN);
    Key(VKEY_END);
    Paint();
    EXPECT_EQ(Position(), 7u);
    EXPECT_FALSE(view_->Cursor().AtLineEnd());
    Press(kTextLeft + 20, kTextTop + 5);  // past the end of the top line, line 2
    Key(VKEY_LEFT);
    Paint();
    EXPECT_EQ(Position(), 4u) << "the click is resolved after the Left";
    EXPECT_TRUE(view_->Cursor().AtLineEnd());
}

// "ab\n": line 1 is 1..2, line 2 the empty line at 4 after the final line feed.
TEST_F(RichTextCursorTest, EndAndPagingOnAnEmptyLineGoToItsLastPositionPlusOne) {
    MakeView();
    Type("ab\n");
    Paint();
    EXPECT_EQ(Position(), 4u);
    EXPECT_EQ(CursorSpot(), At(0, 1)) << "below the last text line";
    Walk({{VKEY_END, false, 1}});  // an empty line's last position is 0
    EXPECT_TRUE(view_->Cursor().AtLineEnd());
    EXPECT_EQ(CursorSpot(), At(14, 0));
    Walk({{VKEY_DOWN, false, 4}, {VKEY_PAGE_DOWN, true, 1}});
    EXPECT_TRUE(view_->Cursor().AtLineEnd());

    view_->LoadPlainBodyText("x\n\n\n\nab");  // lines 2 to 4 are empty, line 5 is 6..7
    Key(VKEY_END, true);
    Paint();
    EXPECT_EQ(view_->Layout().TopLine(), 3u);
    KeyAndPaint(VKEY_PAGE_UP);  // target line 2, empty: offset 2 is past its last position
    EXPECT_EQ(Position(), 1u);
    EXPECT_EQ(view_->Layout().TopLine(), 1u);
}

// "ab\n\ncd": line 2 is the empty line at 4, line 3 is 5..6.
TEST_F(RichTextCursorTest, AClickOnAnEmptyLineBeforeATextLineStandsAtLineEnd) {
    MakeView();
    Type("ab\n\ncd");
    Paint();
    Press(kTextLeft + 10, kTextTop + 50);
    Paint();
    EXPECT_EQ(Position(), 4u);
    EXPECT_TRUE(view_->Cursor().AtLineEnd()) << "any position is past an empty line's last, 0";
    EXPECT_EQ(CursorSpot(), At(14, 0)) << "shown on the line of the position before";
    Key(VKEY_END, true);
    Type("\n\n");  // "ab\n\ncd\n\n": the empty line at 8 is followed by the empty line at 9
    Paint();
    Press(kTextLeft + 10, kTextTop + 50);  // lines 3 to 5 are shown
    Paint();
    EXPECT_EQ(Position(), 8u);
    EXPECT_FALSE(view_->Cursor().AtLineEnd());
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
    EDict del = Record(code::kKeyPressed);
    EDictPutLong(&del, atoms::KEY, VKEY_DELETE + 200);  // a code above 127 reads negative
    EDictPutLong(&del, atoms::ASCII, 127);
    EXPECT_TRUE(Send(del));
    EDict high = Record(code::kKeyPressed);
    EDictPutLong(&high, atoms::KEY, 65);
    EDictPutLong(&high, atoms::ASCII, 200);
    EXPECT_FALSE(Send(high));
    EDict bare = Record(code::kKeyPressed);
    EDictPutLong(&bare, atoms::KEY, VKEY_F1);
    EXPECT_FALSE(Send(bare)) << "no ASCII: not taken";
    EXPECT_EQ(Text(), "\x7f");
    EDict comma = Record(code::kKeyPressed);
    EDictPutLong(&comma, atoms::KEY, VKEY_COMMA);  // 188 reads as a negative byte
    EDictPutLong(&comma, atoms::ASCII, ',');
    EXPECT_TRUE(Send(comma));
    EXPECT_EQ(Text(), "\x7f,");
    EXPECT_TRUE(Key(VKEY_C, true));
    EXPECT_TRUE(Key(VKEY_V, true));
    EXPECT_TRUE(Key(VKEY_X, true));
    EXPECT_TRUE(Key(VKEY_ESCAPE));
    EXPECT_FALSE(Key(VKEY_BACKSPACE, true));
    EXPECT_FALSE(Key(VKEY_ENTER, true));
    EXPECT_FALSE(Key(VKEY_DELETE, true));
    EXPECT_FALSE(Key(VKEY_A, true));
    EXPECT_EQ(Text(), "\x7f,");
}

TEST_F(RichTextCursorTest, PagesMoveByTheVisibleCountAtTheSameOffset) {
    MakeView();
    Type("a\nb\nc\nd\ne\nf\ng\nhh");  // eight lines, line k at 2k - 1
    Paint();
    EXPECT_EQ(view_->Layout().TopLine(), 6u);
    Walk({{VKEY_LEFT, false, 16}, {VKEY_PAGE_UP, false, 10}});  // line 5 has no offset 1: its end
    EXPECT_EQ(view_->Layout().TopLine(), 3u);
    EXPECT_EQ(CursorSpot(), At(7, 2));
    KeyAndPaint(VKEY_PAGE_UP);
    Walk({{VKEY_PAGE_UP, false, 2}});
    EXPECT_EQ(view_->Layout().TopLine(), 1u);
    Walk({{VKEY_PAGE_DOWN, false, 8}});
    EXPECT_EQ(view_->Layout().TopLine(), 4u);
    KeyAndPaint(VKEY_PAGE_DOWN);
    Walk({{VKEY_PAGE_DOWN, false, 16}});
    EXPECT_EQ(view_->Layout().TopLine(), 6u) << "the view stays full";
    Walk({{VKEY_PAGE_UP, true, 11}, {VKEY_PAGE_DOWN, true, 17}});
    EXPECT_TRUE(view_->Cursor().AtLineEnd());
}

TEST_F(RichTextCursorTest, ClicksGoBeforeOrAfterAnElementAtItsHalfway) {
    MakeView();
    Type("hello world foo");
    Paint();
    view_->Unfocus();
    EXPECT_TRUE(Press(kTextLeft + 10, kTextTop + 5));  // 'e' spans 7..14: halfway 10.5
    EXPECT_TRUE(view_->Focused()) << "a click focuses";
    Paint();
    EXPECT_EQ(Position(), 2u);
    Press(kTextLeft + 11, kTextTop + 5);
    Paint();
    EXPECT_EQ(Position(), 3u);
    Press(kTextLeft + 3, kTextTop + 5);  // 'h' 0..7: halfway 3.5
    Paint();
    EXPECT_EQ(Position(), 1u);
    Press(kTextLeft + 69, kTextTop + 40);  // past line 1: bottom edge 40 still counts
    Paint();
    EXPECT_EQ(Position(), 7u);
    EXPECT_TRUE(view_->Cursor().AtLineEnd());
    EXPECT_EQ(CursorSpot(), At(42, 0));
    Press(kTextLeft + 70, kTextTop + 120);  // the far corner: below every line
    Paint();
    EXPECT_EQ(Position(), 16u);
    EXPECT_FALSE(view_->Cursor().AtLineEnd());
    EXPECT_FALSE(Press(kTextLeft + 71, kTextTop + 5));
    EXPECT_FALSE(Press(kTextLeft - 1, kTextTop + 5));
    EXPECT_FALSE(Press(kTextLeft, kTextTop + 121));
}

TEST_F(RichTextCursorTest, EditorButtonsScrollTheCursorAwayUntilItMovesAgain) {
    MakeView();
    Type("a\nb\nc\nd\ne\nf\ng\nh");
    Paint();
    const uint16_t up = atoms::richview::BtnWrEditorUp;
    const uint16_t down = atoms::richview::BtnWrEditorDown;
    EXPECT_TRUE(Button(down));
    EXPECT_FALSE(view_->NeedsPaint()) << "already at the bottom";
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Button(up));
    }
    EXPECT_EQ(view_->Layout().TopLine(), 3u);
    Paint();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"c", "d", "e"}));
    EXPECT_FALSE(view_->Cursor().InView());
    EXPECT_EQ(LastCursorVisible(), 0);
    KeyAndPaint(VKEY_LEFT);
    EXPECT_TRUE(view_->Cursor().InView());
    EXPECT_EQ(LastCursorVisible(), 1);
    EXPECT_EQ(view_->Layout().TopLine(), 6u);
    EXPECT_EQ(CursorSpot(), At(0, 2));
    EXPECT_FALSE(Button(FetchAtom("BtnWrDone")));
}

TEST_F(RichTextCursorTest, PendingBlinksKeepTheCursorSteadyWhileItMoves) {
    MakeView();
    Type("ab");
    Paint();  // the first placement moves the sprite
    EXPECT_EQ(view_->Cursor().PendingBlinks(), 1u);
    const auto blinks = [&] {
        return Host().Posted(atoms::ports::WritePort, atoms::actions::CursorBlinkMessage).size();
    };
    EXPECT_EQ(blinks(), 2u) << "the chain started at creation, and one more for the move";
    Host().Forget();
    Blink();
    EXPECT_EQ(view_->Cursor().PendingBlinks(), 0u);
    EXPECT_EQ(blinks(), 0u) << "a swallowed blink ends its chain";
    EXPECT_EQ(LastCursorVisible(), -1);
    Blink();
    EXPECT_EQ(LastCursorVisible(), 0);
    Blink();
    EXPECT_EQ(LastCursorVisible(), 1);
    EXPECT_EQ(blinks(), 2u);
    const auto posted = Host().Posted(atoms::ports::WritePort, atoms::actions::CursorBlinkMessage);
    EXPECT_EQ(EDictKeyCount(&posted[0].record), 0);

    view_->Unfocus();
    Host().Forget();
    Blink();
    EXPECT_EQ(LastCursorVisible(), -1) << "an unfocused cursor does not blink";
    EXPECT_EQ(blinks(), 1u) << "but the chain goes on";
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
    EDict ready = Record(code::kSpriteReady);
    EDictPutShort(&ready, atoms::NAME, atoms::richview::AniWrCursor);
    Host().Forget();
    EXPECT_TRUE(Send(ready));
    EXPECT_EQ(LastCursorVisible(), 0);
    view_->SetReadOnly(false);
    EXPECT_EQ(LastCursorVisible(), 1);
    view_->Unfocus();
    EXPECT_FALSE(Char('x'));
    EXPECT_EQ(Text(), "abc");
}

}  // namespace
}  // namespace wm::testing
