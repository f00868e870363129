// The module's drawing canvas: paths, pixels, pen and text measurement.
#include <cmath>
#include <string>
#include <vector>

#include "canvas/cairo_canvas.h"
#include "canvas/measure_cache.h"
#include "canvas_test_support.h"

namespace {

using namespace canvas_test;
using harbor::CairoCanvas;
using harbor::Measurement;
using harbor::MeasureCache;

class CanvasDrawingTest : public ::testing::Test {
protected:
    CanvasDrawingTest() : canvas_(Fonts(), 40, 30) { canvas_.Clear(255, 255, 255); }

    Colour At(int x, int y) { return PixelAt(canvas_.Surface(), x, y); }
    std::pair<float, float> Pen() {
        float x = -1, y = -1;
        canvas_.PenPosition(&x, &y);
        return {x, y};
    }

    harbor::CairoCanvas canvas_;
};

TEST_F(CanvasDrawingTest, FilledRectangleCoversExactlyItsPixels) {
    canvas_.SetColor(255, 0, 0);
    canvas_.Rectangle(2, 3, 4, 5);
    canvas_.Fill();
    EXPECT_EQ(At(2, 3), kRed);
    EXPECT_EQ(At(5, 7), kRed);
    for (auto [x, y] : Points{{6, 7}, {5, 8}, {1, 3}, {2, 2}}) EXPECT_EQ(At(x, y), kWhite) << x << "," << y;
}

TEST_F(CanvasDrawingTest, OnePixelLinesCoverTheirRowAndBothEnds) {
    canvas_.SetColor(0, 0, 0);
    canvas_.SetPenWidth(1);
    canvas_.MoveTo(3, 4);
    canvas_.LineTo(8, 4);
    canvas_.Stroke();
    for (int x = 3; x <= 8; ++x) {
        EXPECT_EQ(At(x, 4), kBlack) << x;
        EXPECT_EQ(At(x, 3), kWhite) << x;
        EXPECT_EQ(At(x, 5), kWhite) << x;
    }
    EXPECT_EQ(At(2, 4), kWhite);
    // A line from a point to itself is that one pixel (the tip of an arrow's triangle).
    canvas_.MoveTo(20, 10);
    canvas_.LineTo(20, 10);
    canvas_.Stroke();
    EXPECT_EQ(At(20, 10), kBlack);
    for (auto [x, y] : Points{{19, 10}, {21, 10}, {20, 11}}) EXPECT_EQ(At(x, y), kWhite) << x << "," << y;
}

TEST_F(CanvasDrawingTest, StrokeOfARectangleLeavesItsInsideAlone) {
    canvas_.SetColor(0, 0, 0);
    canvas_.Rectangle(10, 10, 10, 10);
    canvas_.Stroke();
    EXPECT_EQ(At(10, 10), kBlack);
    EXPECT_EQ(At(20, 15), kBlack);
    EXPECT_EQ(At(15, 15), kWhite);
    // The path was used up: a fill now paints nothing.
    canvas_.SetColor(255, 0, 0);
    canvas_.Fill();
    EXPECT_EQ(At(15, 15), kWhite);
}

TEST_F(CanvasDrawingTest, PenFollowsMovesLinesAndRectanglesAcrossFills) {
    canvas_.MoveTo(3, 4);
    EXPECT_EQ(Pen(), std::make_pair(3.f, 4.f));
    canvas_.LineTo(7.5f, 9);
    EXPECT_EQ(Pen(), std::make_pair(7.5f, 9.f));
    canvas_.Rectangle(1, 2, 3, 4);
    canvas_.Fill();
    EXPECT_EQ(Pen(), std::make_pair(1.f, 2.f));
}

TEST_F(CanvasDrawingTest, DrawTextAdvancesThePenByTheMeasuredWidth) {
    canvas_.SelectFont("Comic Sans MS", 0, 12);
    float width = 0, height = 0;
    canvas_.MeasureText("Hi", &width, &height);
    ASSERT_GT(width, 5);
    canvas_.SetColor(0, 0, 0);
    canvas_.MoveTo(4, 2);
    canvas_.DrawText("Hi");
    EXPECT_FLOAT_EQ(Pen().first, 4 + width);
    EXPECT_EQ(Pen().second, 2);
    int ink = 0;
    for (int j = 2; j < 2 + static_cast<int>(height); ++j) {
        for (int i = 4; i < 4 + static_cast<int>(width); ++i) ink += At(i, j) == kWhite ? 0 : 1;
    }
    EXPECT_GT(ink, 10);
    for (int j = 0; j < 30; ++j) EXPECT_EQ(At(1, j), kWhite) << "ink left of the pen at row " << j;
}

TEST_F(CanvasDrawingTest, TextLeavesThePathBeingBuilt) {
    canvas_.SetColor(255, 0, 0);
    canvas_.Rectangle(30, 20, 5, 5);
    canvas_.MoveTo(0, 0);
    canvas_.DrawText("a");
    canvas_.Fill();
    EXPECT_EQ(At(32, 22), kRed);
}

// The canvas's measure cache: the same answers as measuring every time, per font, within bounds.
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

}  // namespace
