#include <algorithm>

#include "rich_text_fixture.h"

namespace wm::testing {
namespace {

using LineList = std::vector<std::pair<uint32_t, uint32_t>>;

class RichTextLayoutTest : public RichTextTest {
protected:
    LineList LinesOf(const std::string& text) {
        view_->LoadPlainBodyText(text.c_str());
        Paint();
        return Lines();
    }
    // A fresh view showing the text, painted once.
    void Show(const std::string& text) {
        MakeView();
        LinesOf(text);
    }
    // The image instance sprites moved by a send (the cursor's moves are posted).
    std::vector<HostRequest> ImageMoves() const {
        std::vector<HostRequest> moves;
        for (const HostRequest& d : Host().Requests(scene_, code::kMove)) {
            if (!d.posted) moves.push_back(d);
        }
        return moves;
    }
};

TEST_F(RichTextLayoutTest, TheViewShowsItsSpritesAsksTheRectangleAndStopsItsSprite) {
    MakeView();
    EXPECT_EQ(Shorts(Host().Requests(scene_, code::kStart), atoms::SPRITENAME),
              (Atoms{sprite_, atoms::richview::AniWrCursor}));
    const auto asked = Host().Requests(scene_, code::kGetRect);
    EXPECT_EQ(Shorts(asked, atoms::NAME), Atoms{sprite_});
    EXPECT_EQ(Shorts(asked, atoms::KIND), Atoms{atoms::SP_GENERAL});
    EXPECT_TRUE(EDictHasKey(&asked[0].record, atoms::layout::NOTIFY));
    EXPECT_FALSE(EDictGetBool(&asked[0].record, atoms::layout::NOTIFY));
    view_.reset();
    EXPECT_EQ(Shorts(Host().Requests(scene_, code::kStop), atoms::NAME), Atoms{sprite_});
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
        SetTextWidth(c.width);
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
    EXPECT_EQ(text->size, 24.0f);
    EXPECT_EQ(text->blue, 0);
    EXPECT_EQ(names->blue, 255);
    EXPECT_FALSE(view_->NeedsPaint()) << "making the defaults asks for no second layout";
    const auto fonts = Canvas().OpsNamed("SelectFont");
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts.back().text, "Comic Sans MS");
    EXPECT_EQ(fonts.back().args[1], 24.0f);
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
    EXPECT_TRUE(EDictGetBool(&answer, atoms::UPDATED));
    for (const auto& [key, value] : {std::pair{atoms::X, 0}, {atoms::Y, 0}, {atoms::WIDTH, 73}, {atoms::HEIGHT, 123}}) {
        EXPECT_EQ(EDictGetLong(&answer, key), value) << DaNameGetString(key);
    }
    EXPECT_TRUE(Canvas().Shows(72, 122, Rgb{255, 251, 240}));
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"hello ", "world foo ", "bar baz "}));
    const auto drawn = Canvas().OpsNamed("DrawText");
    EXPECT_EQ(drawn[0].args[0], 3.0f);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(drawn[i].args[1], 3.0f + 40.0f * static_cast<float>(i));
    EXPECT_EQ(view_->VisibleCount(), 3u);
    EXPECT_EQ(view_->LineCount(), 4u);

    answer = Paint();
    EXPECT_FALSE(EDictHasKey(&answer, atoms::UPDATED)) << "nothing changed, nothing painted";
    EXPECT_TRUE(Canvas().Ops().empty());

    Show("");  // an empty document: the background, and the cursor at the origin
    EXPECT_TRUE(DrawnTexts().empty());
    EXPECT_EQ(Canvas().OpsNamed("Fill").size(), 1u);
    EXPECT_EQ(CursorSpot(), (std::pair<int32_t, int32_t>{kTextLeft, kTextTop}));
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
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"ab ", " ", "cd"}));
    auto drawn = Canvas().OpsNamed("DrawText");
    EXPECT_EQ(drawn[1].args[0], 103.0f) << "the pen moved past the image";

    // Text mode hides the images and draws their names in blue.
    Host().Forget();
    view_->SetTextMode();
    EXPECT_EQ(Longs(Host().Requests(scene_, code::kSet), atoms::VISIBLE), Numbers{0});
    EXPECT_TRUE(view_->NeedsPaint());
    Paint();
    EXPECT_EQ(Lines(), (LineList{{1, 5}, {6, 7}})) << "the name is narrower than the picture";
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"ab ", "Rocket", " ", "cd"}));
    drawn = Canvas().OpsNamed("DrawText");
    EXPECT_TRUE(SameColour(drawn[1].colour, Rgb{0, 0, 255}));
    EXPECT_TRUE(SameColour(drawn[2].colour, Rgb{0, 0, 0}));
    EXPECT_TRUE(ImageMoves().empty());

    view_->SetGraphicMode();
    Paint();
    EXPECT_EQ(ImageMoves().size(), 1u);
}

TEST_F(RichTextLayoutTest, ASecondSpriteReadyReadsTheRectangleAgainAndAsksNoPaint) {
    Show("hello world foo");
    ASSERT_FALSE(view_->NeedsPaint());
    Host().Forget();
    EXPECT_TRUE(Send(Named(code::kSpriteReady, sprite_)));
    EXPECT_EQ(Host().Requests(scene_, code::kGetRect).size(), 1u);
    EXPECT_FALSE(view_->NeedsPaint());
    EDict answer = Paint();
    EXPECT_FALSE(EDictHasKey(&answer, atoms::UPDATED));
}

TEST_F(RichTextLayoutTest, ShowFromLineKeepsTheLinesAndPaintsFromThere) {
    MakeView();
    view_->SetReadOnly(true);
    view_->LoadPlainBodyText("a\nb\nc\nd\ne\nf");
    Paint();
    ASSERT_EQ(view_->LineCount(), 6u);
    Host().Forget();
    view_->ShowFromLine(4);
    EXPECT_EQ(view_->VisibleCount(), 3u);
    EXPECT_TRUE(view_->NeedsPaint());
    Paint();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"d", "e", "f"}));
    view_->ShowFromLine(6);
    EXPECT_EQ(view_->VisibleCount(), 1u) << "the last page is not filled from above";
    Paint();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"f"}));
    EXPECT_EQ(CursorSpot(), (std::pair<int32_t, int32_t>{0, 0})) << "the cursor is not placed";
}

}  // namespace
}  // namespace wm::testing
