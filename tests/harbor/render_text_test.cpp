// Text through Harbor's font configuration: the content's family names resolve to the fonts
// installed for them, sizes are pixels, boxes wrap or cut the text, carets fall between bytes, and
// other scripts find their glyphs.
#include <gtest/gtest.h>

#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "render/font_config.h"
#include "render/text_system.h"

namespace {

class TextSystemTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(harbor::SetUpFonts(WRENMAIL_CONTENT_DIR, error)) << error;
    }

    // The mailbox list's family; the fallback supplies the glyphs it lacks.
    static harbor::TextStyle Style(double size, double width = 0, bool wrap = false) {
        return {"Comic Sans MS", size, harbor::TextAlign::Left, width, wrap};
    }

    // How much of the outline of the ink's bounding box is ink, drawn at 48 pixels: near 1 for a
    // missing glyph's box (a frame), well below for a real character.
    double FrameShare(const std::string& character) const {
        constexpr int kSize = 96;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, kSize, kSize);
        cairo_t* cr = cairo_create(surface);
        harbor::GObjectPtr<PangoLayout> layout = text_.Layout(character, Style(48));
        cairo_move_to(cr, 16, 16);
        pango_cairo_show_layout(cr, layout.get());
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        auto inked = [&](int x, int y) { return data[y * stride + x] > 96; };
        int left = kSize, right = -1, top = kSize, bottom = -1;
        for (int y = 0; y < kSize; ++y) {
            for (int x = 0; x < kSize; ++x) {
                if (!inked(x, y)) continue;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
        int outline = 0, ink = 0;
        for (int x = left; x <= right; ++x) outline += 2, ink += inked(x, top) + inked(x, bottom);
        for (int y = top; y <= bottom; ++y) outline += 2, ink += inked(left, y) + inked(right, y);
        cairo_surface_destroy(surface);
        return outline > 0 ? static_cast<double>(ink) / outline : 0.0;
    }

    harbor::TextSystem text_{harbor::HarborFontConfig()};
};

constexpr const char* kSample = "Dear Grandma, thank you for the kite!";

TEST_F(TextSystemTest, ContentFamiliesResolveToTheFontsInstalledForThem) {
    EXPECT_EQ(text_.ResolvedFamily("Comic Sans MS"), "Comic Neue");
    const std::string times = text_.ResolvedFamily("Times");
    EXPECT_TRUE(times == "Nimbus Roman" || times == "Liberation Serif") << times;
}

TEST_F(TextSystemTest, SizesArePixelsAndPositionsAreNotRounded) {
    const harbor::TextExtent small = text_.Measure(kSample, Style(20));
    const harbor::TextExtent large = text_.Measure(kSample, Style(40));
    EXPECT_NEAR(large.width / small.width, 2.0, 0.01);
    EXPECT_GT(small.height, 20);
    EXPECT_LT(small.height, 32);
    // Unhinted, unrounded metrics: a size between two pixels gives a width between theirs.
    const double half = text_.Measure(kSample, Style(20.5)).width;
    EXPECT_GT(half, small.width);
    EXPECT_LT(half, text_.Measure(kSample, Style(21)).width);
}

TEST_F(TextSystemTest, BoxesWrapAtBlanksOrCutToOneLine) {
    const harbor::TextExtent wrapped = text_.Measure(kSample, Style(18, 120, true));
    EXPECT_GT(wrapped.lines, 2);
    EXPECT_LE(wrapped.width, 120);
    const harbor::TextExtent cut = text_.Measure(kSample, Style(18, 120, false));
    EXPECT_EQ(cut.lines, 1);
    EXPECT_LE(cut.width, 120);
    const harbor::TextExtent free = text_.Measure(kSample, Style(18));
    EXPECT_EQ(free.lines, 1);
    EXPECT_GT(free.width, 120);
}

TEST_F(TextSystemTest, TheCaretStandsAfterTheBytesBeforeIt) {
    harbor::GObjectPtr<PangoLayout> layout = text_.Layout("ab\xc3\xa9z", Style(18));
    EXPECT_EQ(harbor::TextSystem::CaretX(layout.get(), 0), 0);
    const double after_b = harbor::TextSystem::CaretX(layout.get(), 2);
    const double after_e = harbor::TextSystem::CaretX(layout.get(), 4);  // é is two bytes
    EXPECT_GT(after_b, 0);
    EXPECT_GT(after_e, after_b);
    EXPECT_NEAR(harbor::TextSystem::CaretX(layout.get(), 5), harbor::TextSystem::Extent(layout.get()).width, 0.01);
}

// Text a child receives in other scripts: a Japanese subject is drawn with the fallback family
// as real glyphs, not as the empty boxes drawn for characters no font has.
TEST_F(TextSystemTest, AJapaneseSubjectIsDrawnAsGlyphsNotBoxes) {
    // The measure itself: a character no font has is drawn as a frame.
    ASSERT_GT(FrameShare("\U0010FFFD"), 0.8);
    for (const char* character : {"こ", "ん", "に", "ち", "は", "手", "紙"}) {
        EXPECT_LT(FrameShare(character), 0.6) << character << " is drawn as a box";
    }
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(text_.Layout("こんにちは、お手紙です", {"Comic Sans MS", 16}).get()), 0);
}

}  // namespace
