// The canvas's measure cache: the same answers as measuring every time, per font, within bounds;
// and the texts a canvas remembers drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "canvas/cairo_canvas.h"
#include "canvas/measure_cache.h"
#include "canvas_test_support.h"

namespace {

using harbor::CairoCanvas;
using harbor::Measurement;
using harbor::MeasureCache;

struct Font {
    const char* name;
    int32_t style;
    int32_t size;
};

const std::vector<Font> kFonts = {
    {"Comic Sans MS", 0, 24}, {"Comic Sans MS", 1, 24}, {"Comic Sans MS", 0, 12}, {"Times", 2, 18}, {nullptr, 0, 0},
};

const std::vector<std::string> kTexts = {"", " ", "hello", "world", "Hello", "hello ", "iiii", "WWWW", "a b c",
                                         "caf\xc3\xa9", "the quick brown fox"};

Measurement Measure(CairoCanvas& canvas, const std::string& text) {
    Measurement m;
    canvas.MeasureText(text.c_str(), &m.width, &m.height);
    return m;
}

// Every font and text, twice over and in changing order, against a canvas that never remembers;
// the small cache is forced to drop and refill generations on the way.
TEST(CanvasMeasureTest, CachedAnswersEqualMeasuringEveryTime) {
    CairoCanvas uncached(canvas_test::Fonts(), 50, 50, 0);
    CairoCanvas cached(canvas_test::Fonts(), 50, 50, 7);
    for (int round = 0; round < 3; ++round) {
        for (std::size_t f = 0; f < kFonts.size(); ++f) {
            const Font& font = kFonts[(f + round) % kFonts.size()];
            uncached.SelectFont(font.name, font.style, font.size);
            cached.SelectFont(font.name, font.style, font.size);
            for (const std::string& text : kTexts) {
                const Measurement want = Measure(uncached, text);
                const Measurement got = Measure(cached, text);
                EXPECT_EQ(got.width, want.width) << font.size << " '" << text << "' round " << round;
                EXPECT_EQ(got.height, want.height) << font.size << " '" << text << "' round " << round;
            }
        }
    }
    // The same text in another font is another measurement, never the remembered one.
    cached.SelectFont("Comic Sans MS", 0, 24);
    const Measurement small_before = Measure(cached, "hello");
    cached.SelectFont("Comic Sans MS", 0, 12);
    EXPECT_LT(Measure(cached, "hello").width, small_before.width);
    // Integer measures go through the cache too.
    int32_t w = 0, h = 0;
    cached.MeasureTextInt("hello", &w, &h);
    uncached.SelectFont("Comic Sans MS", 0, 12);
    EXPECT_EQ(w, static_cast<int32_t>(std::ceil(Measure(uncached, "hello").width)));
}

// Fonts and texts are covered above; here the bound: at most two generations are kept.
TEST(MeasureCacheTest, StaysWithinTwoGenerations) {
    MeasureCache cache(4);
    cache.SelectFont("A", 0, 10);
    for (int i = 0; i < 100; ++i) {
        cache.Store("t" + std::to_string(i), {static_cast<float>(i), 0});
        EXPECT_LE(cache.Size(), 8u);
    }
    EXPECT_FALSE(cache.Find("t0"));
    ASSERT_TRUE(cache.Find("t99"));
    EXPECT_EQ(cache.Find("t99")->width, 99);
}

TEST(CanvasDrawnTextTest, LinesFollowThePenHeightAndAreForgottenOnRequest) {
    CairoCanvas canvas(canvas_test::Fonts(), 200, 100);
    canvas.SelectFont("Comic Sans MS", 0, 12);
    canvas.MoveTo(3, 3);
    canvas.DrawText("hello ");
    canvas.DrawText("world");
    canvas.MoveTo(3, 43);
    canvas.DrawText("second");
    canvas.MoveTo(50, 43);
    canvas.DrawText(" line");
    EXPECT_EQ(canvas.DrawnText(), "hello world\nsecond line");
    canvas.ForgetDrawnText();
    EXPECT_EQ(canvas.DrawnText(), "");
    canvas.MoveTo(3, 43);
    canvas.DrawText("again");
    EXPECT_EQ(canvas.DrawnText(), "again");
}

}  // namespace
