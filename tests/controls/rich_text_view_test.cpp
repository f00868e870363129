// A rich text view on a fake scene: the sprite's text area is 70 wide (ten characters of the fake
// canvas) and 120 high (three lines), at (103, 53) in the scene. Stamp sources answer their size.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/rich_text_view.h"
#include "controls_fixture.h"
#include "fake_canvas.h"
#include "hxmsg.h"
#include "virtual_keys.h"

namespace wm::testing {
namespace {

using Spot = std::pair<int32_t, int32_t>;
using LineList = std::vector<std::pair<uint32_t, uint32_t>>;

class RichTextTest : public ControlsTest {
protected:
    static constexpr int32_t kLeft = 100;
    static constexpr int32_t kTop = 50;
    static constexpr int32_t kTextLeft = 103;
    static constexpr int32_t kTextTop = 53;

    void SetUp() override {
        ControlsTest::SetUp();
        sprite_ = FetchAtom("PvtWrMessage");
        wide_stamp_ = FetchAtom("Wide Stamp");
        small_stamp_ = FetchAtom("Small Stamp");
    }
    void TearDown() override {
        view_.reset();
        ControlsTest::TearDown();
    }

    // Makes the view, reports its sprite ready and gives it the focus.
    RichTextView& MakeView() {
        // The scene answers rectangles: the view's sprite, and the two stamp sources by their size.
        host_.scenes.rects[sprite_] = {100, 50, 100 + 3 + text_width_, 50 + 3 + 120};
        host_.scenes.rects[wide_stamp_] = {0, 0, 100, 40};
        host_.scenes.rects[small_stamp_] = {0, 0, 14, 30};
        view_ = std::make_unique<RichTextView>(scene_, sprite_);
        Send(Named(code::kSpriteReady, sprite_));
        view_->Focus();
        return *view_;
    }
    // A fresh view with the text typed into it and painted.
    void Start(const std::string& text) {
        MakeView();
        Type(text);
        Paint();
    }
    // A fresh view showing the text, painted once.
    void Show(const std::string& text) {
        MakeView();
        LinesOf(text);
    }
    LineList LinesOf(const std::string& text) {
        view_->LoadPlainBodyText(text.c_str());
        Paint();
        return Lines();
    }

    // One draw request on a fresh canvas; the canvas stays readable through Canvas().
    EDict Paint() {
        canvas_ = std::make_unique<FakeCanvas>(3 + text_width_, 123);
        EDict record = DrawRecord(sprite_, canvas_.get());
        EXPECT_TRUE(view_->HandleMessage(&record));
        return record;
    }
    FakeCanvas& Canvas() { return *canvas_; }

    bool Send(EDict record) { return view_->HandleMessage(&record); }
    // A key, with the ASCII code it types when it types one.
    bool Key(int32_t key, bool control = false, int32_t ascii = -1) {
        EDict record = Record(code::kKeyPressed);
        EDictPutLong(&record, atoms::KEY, key);
        EDictPutLong(&record, atoms::CTLKEY, control ? 1 : 0);
        if (ascii >= 0) EDictPutLong(&record, atoms::ASCII, ascii);
        return Send(record);
    }
    // A typed character: its key (the letter's virtual key for a-z) with its ASCII code.
    bool Char(char c) {
        const int32_t ascii = static_cast<unsigned char>(c);
        return Key(c >= 'a' && c <= 'z' ? c - 'a' + VKEY_A : ascii, false, ascii);
    }
    void Type(const std::string& text) {  // '\n' types Enter
        for (char c : text) c == '\n' ? Key(VKEY_ENTER) : Char(c);
    }
    // A key followed by the paint that places the cursor.
    void KeyAndPaint(int32_t key, bool control = false) {
        EXPECT_TRUE(Key(key, control));
        Paint();
    }
    bool Press(int32_t x, int32_t y) { return Send(AtPoint(Named(code::kPress, sprite_), x, y)); }
    // A press at (x, y) inside the text area, then the paint that resolves it.
    uint32_t PressAndPaint(int32_t x, int32_t y) {
        Press(kTextLeft + x, kTextTop + y);
        Paint();
        return Position();
    }
    bool Button(uint16_t sprite) { return Send(Named(code::kClick, sprite)); }
    void Blink() { Send(Record(atoms::actions::CursorBlinkMessage)); }

    uint32_t Position() const { return view_->Cursor().Position(); }
    bool AtEnd() const { return view_->Cursor().AtLineEnd(); }
    uint32_t Top() const { return view_->Layout().TopLine(); }
    std::string Text() const { return view_->ProducePlainBodyText(); }
    LineList Lines() const {
        LineList lines;
        for (const LineRecord& line : view_->Layout().Lines()) lines.emplace_back(line.first, line.last);
        return lines;
    }
    // The cursor's place on the scene at x in the text area on the given shown line.
    Spot At(int32_t x, int32_t line) const { return {kTextLeft + x, kTextTop + 40 * line}; }
    // The last record of the type posted for the cursor sprite.
    std::optional<EDict> LastCursorPost(uint16_t type) const {
        const auto posts = Host().Posted(scene_, type);
        for (auto it = posts.rbegin(); it != posts.rend(); ++it) {
            if (EDictGetShort(&it->record, atoms::NAME) == atoms::richview::AniWrCursor) return it->record;
        }
        return std::nullopt;
    }
    // Where the cursor sprite was last moved to, (0, 0) when never.
    Spot CursorSpot() const {
        const auto move = LastCursorPost(code::kMove);
        return move ? Spot{EDictGetLong(&*move, atoms::X), EDictGetLong(&*move, atoms::Y)} : Spot{0, 0};
    }
    // The last VISIBLE posted for the cursor sprite; -1 when none.
    int LastCursorVisible() const {
        const auto set = LastCursorPost(code::kSet);
        return set ? (EDictGetBool(&*set, atoms::VISIBLE) ? 1 : 0) : -1;
    }
    // The image instance sprites moved by a send (the cursor's moves are posted).
    std::vector<HostRequest> ImageMoves() const {
        std::vector<HostRequest> moves;
        for (const HostRequest& d : Host().Requests(scene_, code::kMove)) {
            if (!d.posted) moves.push_back(d);
        }
        return moves;
    }
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

    uint16_t sprite_ = 0;
    uint16_t wide_stamp_ = 0;   // 100 x 40
    uint16_t small_stamp_ = 0;  // 14 x 30
    std::unique_ptr<RichTextView> view_;
    std::unique_ptr<FakeCanvas> canvas_;
    int32_t text_width_ = 70;  // the sprite's, for the next view or geometry report
};
using RichTextCursorTest = RichTextTest;
using RichTextLayoutTest = RichTextTest;

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
    KeyAndPaint(VKEY_END, true);
    EXPECT_TRUE(Button(atoms::richview::BtnWrEditorDown));
    EXPECT_FALSE(view_->NeedsPaint()) << "already at the bottom";
    Walk({{VKEY_PAGE_UP, true, 4}});  // to the first shown line, 3, the empty line at 4
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
    EXPECT_TRUE(Key(VKEY_DELETE + 200, false, 127));  // a code above 127 reads negative
    EXPECT_FALSE(Key(65, false, 200));
    EXPECT_FALSE(Key(VKEY_F1)) << "no ASCII: not taken";
    EXPECT_EQ(Text(), "\x7f");
    EXPECT_TRUE(Key(VKEY_COMMA, false, ','));  // 188 reads as a negative byte
    EXPECT_EQ(Text(), "\x7f,");
    for (int32_t key : {VKEY_C, VKEY_V, VKEY_X}) EXPECT_TRUE(Key(key, true)) << key;
    EXPECT_TRUE(Key(VKEY_ESCAPE));
    for (int32_t key : {VKEY_BACKSPACE, VKEY_ENTER, VKEY_DELETE, VKEY_A}) EXPECT_FALSE(Key(key, true)) << key;
    EXPECT_EQ(Text(), "\x7f,");
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

TEST_F(RichTextLayoutTest, TheViewShowsItsSpritesAndAsksTheRectangleAtEachSpriteReady) {
    MakeView();
    EXPECT_EQ(Shorts(Host().Requests(scene_, code::kStart), atoms::SPRITENAME),
              (Atoms{sprite_, atoms::richview::AniWrCursor}));
    const auto asked = Host().Requests(scene_, code::kGetRect);
    EXPECT_EQ(Shorts(asked, atoms::NAME), Atoms{sprite_});
    EXPECT_EQ(Shorts(asked, atoms::KIND), Atoms{atoms::SP_GENERAL});
    EXPECT_TRUE(EDictHasKey(&asked[0].record, atoms::layout::NOTIFY));
    EXPECT_FALSE(EDictGetBool(&asked[0].record, atoms::layout::NOTIFY));
    // A second sprite ready reads the rectangle again and asks for no paint.
    LinesOf("hello world foo");
    ASSERT_FALSE(view_->NeedsPaint());
    Host().Forget();
    EXPECT_TRUE(Send(Named(code::kSpriteReady, sprite_)));
    EXPECT_EQ(Host().Requests(scene_, code::kGetRect).size(), 1u);
    EXPECT_FALSE(view_->NeedsPaint());
    EDict answer = Paint();
    EXPECT_FALSE(EDictHasKey(&answer, atoms::UPDATED));
}

// Ten characters to a line; five pixels are narrower than one character of 7.
TEST_F(RichTextLayoutTest, LinesBreakAtWordsCutLongWordsAndEndAtLineFeeds) {
    const struct {
        int32_t width;
        const char* text;
        LineList lines;
    } cases[] = {
        {70, "hello world foo", {{1, 6}, {7, 15}}},
        {70, "aaaaaaaaa    b", {{1, 13}, {14, 14}}},  // trailing spaces stay
        {70, "abcdefghij", {{1, 10}}},               // a word exactly as wide fits
        {70, "hello abcd", {{1, 10}}},               // and one exactly filling the rest
        {70, "abcdefghijklmnopqrstuvwxy z", {{1, 10}, {11, 20}, {21, 27}}},
        {70, "ab abcdefghijklmnop", {{1, 3}, {4, 13}, {14, 19}}},  // the line before is ended
        {70, "ab\n", {{1, 2}, {4, 0}}},
        {70, "\n\nx", {{1, 0}, {2, 0}, {3, 3}}},
        {70, "ab\ncd", {{1, 2}, {4, 5}}},
        {70, "\n", {{1, 0}, {2, 0}}},
        {70, "", {}},
        {5, "abc d", {{1, 1}, {2, 2}, {3, 4}, {5, 5}}},
    };
    for (const auto& c : cases) {
        view_.reset();
        text_width_ = c.width;
        MakeView();
        EXPECT_EQ(LinesOf(c.text), c.lines) << '"' << c.text << '"';
        EXPECT_EQ(view_->LineCount(), c.lines.size());
    }
}

TEST_F(RichTextLayoutTest, TheDefaultFontsAreMadeAtTheFirstLayout) {
    Show("x");
    const FontRun* text = view_->Document().FindTextFontAt(1);
    const FontRun* names = view_->Document().FindImageNameFontAt(1);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(names, nullptr);
    EXPECT_STREQ(text->font_name, "Comic Sans MS");
    EXPECT_EQ(text->blue, 0);
    EXPECT_EQ(names->blue, 255);
    EXPECT_FALSE(view_->NeedsPaint()) << "making the defaults asks for no second layout";
    const auto fonts = Canvas().OpsNamed("SelectFont");
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts.back().text, "Comic Sans MS");
    // Drawing sets the colour then the font; measuring the font then the colour.
    Show("hello world foo");
    const auto& ops = Canvas().Ops();
    size_t draws = 0;
    size_t measures = 0;
    for (size_t i = 2; i < ops.size(); ++i) {
        const bool draw = ops[i].name == "DrawText";
        const bool measure = ops[i].name == "MeasureText" && ops[i].text != "M";  // "M": a new font run
        if (!draw && !measure) continue;
        draws += draw ? 1 : 0;
        measures += measure ? 1 : 0;
        EXPECT_EQ(ops[i - 2].name, draw ? "SetColor" : "SelectFont") << ops[i].name << " " << ops[i].text;
        EXPECT_EQ(ops[i - 1].name, draw ? "SelectFont" : "SetColor") << ops[i].name << " " << ops[i].text;
    }
    EXPECT_EQ(draws, 2u);
    EXPECT_GT(measures, 0u);
}

TEST_F(RichTextLayoutTest, PaintFillsTheBackgroundDrawsVisibleLinesAndAnswers) {
    MakeView();
    view_->LoadPlainBodyText("hello world foo bar baz qux");  // four lines, three shown
    EDict answer = Paint();
    for (const auto& [key, value] : {std::pair{atoms::X, 0}, {atoms::Y, 0}, {atoms::WIDTH, 73}, {atoms::HEIGHT, 123}}) {
        EXPECT_EQ(EDictGetLong(&answer, key), value) << DaNameGetString(key);
    }
    EXPECT_EQ(Canvas().DrawnTexts(), (std::vector<std::string>{"hello ", "world foo ", "bar baz "}));
    EXPECT_EQ(view_->VisibleCount(), 3u);
    EXPECT_EQ(view_->LineCount(), 4u);

    Show("");  // an empty document: the background, and the cursor at the origin
    EXPECT_TRUE(Canvas().DrawnTexts().empty());
    EXPECT_EQ(Canvas().OpsNamed("Fill").size(), 1u);
    EXPECT_EQ(CursorSpot(), (Spot{kTextLeft, kTextTop}));
}

TEST_F(RichTextLayoutTest, DrawRequestsWithoutCanvasOrGeometryAreTakenButPaintNothing) {
    view_ = std::make_unique<RichTextView>(scene_, sprite_);  // no geometry yet
    view_->LoadPlainBodyText("abc");
    EDict answer = Paint();
    EXPECT_FALSE(EDictHasKey(&answer, atoms::UPDATED));
    EXPECT_TRUE(Canvas().Ops().empty());
    MakeView();
    view_->LoadPlainBodyText("abc");
    EDict bare = DrawRecord(sprite_, nullptr);
    EXPECT_TRUE(view_->HandleMessage(&bare));
    EXPECT_FALSE(EDictHasKey(&bare, atoms::UPDATED));
    EDict other = DrawRecord(FetchAtom("Another Sprite"), nullptr);
    EXPECT_FALSE(view_->HandleMessage(&other));
}

TEST_F(RichTextLayoutTest, GraphicModeMovesImagesOverThePictureAndTextModeNamesThem) {
    MakeView();
    Type("ab ");
    ASSERT_TRUE(view_->InsertImageAtCursor(wide_stamp_, "Rocket"));
    EXPECT_EQ(view_->Cursor().Position(), 6u) << "past the image and the space after it";
    Type("cd");
    Host().Forget();
    Paint();
    EXPECT_EQ(Lines(), (LineList{{1, 3}, {4, 5}, {6, 7}})) << "the wide image has a line of its own";
    const auto moves = ImageMoves();
    EXPECT_EQ(Longs(moves, atoms::X), Numbers{kLeft + 3 + 100 / 2});
    EXPECT_EQ(Longs(moves, atoms::Y), Numbers{kTop + 43 + 40 / 2});
    const uint16_t instance = EDictGetShort(&moves[0].record, atoms::NAME);
    const auto sets = Host().Requests(scene_, code::kSet);
    ASSERT_GE(sets.size(), 2u);
    EXPECT_EQ(EDictGetShort(&sets[0].record, atoms::NAME), instance);
    EXPECT_FALSE(EDictGetBool(&sets[0].record, atoms::VISIBLE)) << "hidden before painting";
    EXPECT_TRUE(std::any_of(sets.begin(), sets.end(), [&](const HostRequest& d) {
        return EDictGetShort(&d.record, atoms::NAME) == instance && EDictGetBool(&d.record, atoms::VISIBLE) &&
               !d.posted;
    }));
    EXPECT_EQ(Canvas().DrawnTexts(), (std::vector<std::string>{"ab ", " ", "cd"}));
    auto drawn = Canvas().OpsNamed("DrawText");
    EXPECT_EQ(drawn[1].args[0], 103.0f) << "the pen moved past the image";

    // Text mode hides the images and draws their names in blue.
    Host().Forget();
    view_->SetTextMode();
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kSet), atoms::VISIBLE), Numbers{0});
    EXPECT_TRUE(view_->NeedsPaint());
    Paint();
    EXPECT_EQ(Lines(), (LineList{{1, 5}, {6, 7}})) << "the name is narrower than the picture";
    EXPECT_EQ(Canvas().DrawnTexts(), (std::vector<std::string>{"ab ", "Rocket", " ", "cd"}));
    drawn = Canvas().OpsNamed("DrawText");
    EXPECT_TRUE(SameColour(drawn[1].colour, Rgb{0, 0, 255}));
    EXPECT_TRUE(SameColour(drawn[2].colour, Rgb{0, 0, 0}));
    EXPECT_TRUE(ImageMoves().empty());

    view_->SetGraphicMode();
    Paint();
    EXPECT_EQ(ImageMoves().size(), 1u);
}

}  // namespace
}  // namespace wm::testing
