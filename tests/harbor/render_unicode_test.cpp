// Text a child receives in other scripts: a Japanese subject is drawn with the fallback family
// as real glyphs, not as the empty boxes drawn for characters no font has. A missing glyph is a
// frame: most of its ink box's outline is ink. A real character's outline is mostly paper.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <string>

#include "render/font_config.h"
#include "render/text_system.h"

namespace {

class UnicodeTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(harbor::SetUpFonts(WRENMAIL_CONTENT_DIR, error)) << error;
    }

    // How much of the outline of the ink's bounding box is ink, drawn at 48 pixels: near 1 for a
    // missing glyph's box, well below for a character.
    double FrameShare(const std::string& character) const {
        constexpr int kSize = 96;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, kSize, kSize);
        cairo_t* cr = cairo_create(surface);
        harbor::TextStyle style;
        style.family = "Comic Sans MS";  // the mailbox list's family; the fallback supplies the glyphs
        style.size = 48;
        harbor::GObjectPtr<PangoLayout> layout = text_.Layout(character, style);
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

TEST_F(UnicodeTextTest, AJapaneseSubjectIsDrawnAsGlyphsNotBoxes) {
    // The measure itself: a character no font has is drawn as a frame.
    ASSERT_GT(FrameShare("\U0010FFFD"), 0.8);
    for (const char* character : {"こ", "ん", "に", "ち", "は", "手", "紙"}) {
        EXPECT_LT(FrameShare(character), 0.6) << character << " is drawn as a box";
    }
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(text_.Layout("こんにちは、お手紙です", {"Comic Sans MS", 16}).get()), 0);
}

}  // namespace
