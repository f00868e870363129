// Text through Harbor's font configuration: the content's family names resolve to the fonts
// installed for them, sizes are pixels, boxes wrap or cut the text, carets fall between bytes.
#include <gtest/gtest.h>

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

    static harbor::TextStyle Style(const std::string& family, double size, double width = 0, bool wrap = false) {
        harbor::TextStyle style;
        style.family = family;
        style.size = size;
        style.width = width;
        style.wrap = wrap;
        return style;
    }

    harbor::TextSystem text_{harbor::HarborFontConfig()};
};

constexpr const char* kSample = "Dear Grandma, thank you for the kite!";

TEST_F(TextSystemTest, ContentFamiliesResolveToTheFontsInstalledForThem) {
    EXPECT_EQ(text_.ResolvedFamily("Comic Sans MS"), "Comic Neue");
    const std::string times = text_.ResolvedFamily("Times");
    EXPECT_TRUE(times == "Nimbus Roman" || times == "Liberation Serif") << times;
    EXPECT_EQ(times.find("DejaVu"), std::string::npos);
}

TEST_F(TextSystemTest, SizesArePixelsAndPositionsAreNotRounded) {
    const harbor::TextExtent small = text_.Measure(kSample, Style("Comic Sans MS", 20));
    const harbor::TextExtent large = text_.Measure(kSample, Style("Comic Sans MS", 40));
    EXPECT_NEAR(large.width / small.width, 2.0, 0.01);
    EXPECT_GT(small.height, 20);
    EXPECT_LT(small.height, 32);
    // Unhinted, unrounded metrics: a size between two pixels gives a width between theirs.
    const double half = text_.Measure(kSample, Style("Comic Sans MS", 20.5)).width;
    EXPECT_GT(half, small.width);
    EXPECT_LT(half, text_.Measure(kSample, Style("Comic Sans MS", 21)).width);
}

TEST_F(TextSystemTest, BoxesWrapAtBlanksOrCutToOneLine) {
    const harbor::TextExtent wrapped = text_.Measure(kSample, Style("Comic Sans MS", 18, 120, true));
    EXPECT_GT(wrapped.lines, 2);
    EXPECT_LE(wrapped.width, 120);
    const harbor::TextExtent cut = text_.Measure(kSample, Style("Comic Sans MS", 18, 120, false));
    EXPECT_EQ(cut.lines, 1);
    EXPECT_LE(cut.width, 120);
    const harbor::TextExtent free = text_.Measure(kSample, Style("Comic Sans MS", 18));
    EXPECT_EQ(free.lines, 1);
    EXPECT_GT(free.width, 120);
}

TEST_F(TextSystemTest, TheCaretStandsAfterTheBytesBeforeIt) {
    harbor::GObjectPtr<PangoLayout> layout = text_.Layout("ab\xc3\xa9z", Style("Comic Sans MS", 18));
    EXPECT_EQ(harbor::TextSystem::CaretX(layout.get(), 0), 0);
    const double after_b = harbor::TextSystem::CaretX(layout.get(), 2);
    const double after_e = harbor::TextSystem::CaretX(layout.get(), 4);  // é is two bytes
    EXPECT_GT(after_b, 0);
    EXPECT_GT(after_e, after_b);
    EXPECT_NEAR(harbor::TextSystem::CaretX(layout.get(), 5), harbor::TextSystem::Extent(layout.get()).width, 0.01);
}

}  // namespace
