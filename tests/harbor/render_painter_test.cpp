// The scene painter on small scenes written by the tests (layers, visibility, looks per effect,
// the cover, text, edit fields, pictures and overlays, read back as pixels). The real content is
// painted by the end-to-end sessions' snapshots and the window test.
#include <gtest/gtest.h>

#include "render_test_support.h"

using render_test::A;
using render_test::Image;
using render_test::PainterTest;
using render_test::Pixel;
using render_test::Rgb;

namespace {

const Pixel kWhite = Rgb(255, 255, 255);
const Pixel kRed = Rgb(255, 0, 0);
const Pixel kBlue = Rgb(0, 0, 255);

// A sprite of one colour (its "Still" look), as a scene file lists it.
std::string Filled(const char* name, const char* rect, int z, const char* fill, const char* more = "") {
    return std::string(R"({"name": ")") + name + R"(", "kind": "sprite", "rect": [)" + rect + "], \"z\": " +
           std::to_string(z) + R"(, "effect": "Still", "effects": {"Still": {"fill": ")" + fill + "\"}}" + more + "}";
}

// A blue square drawing, filling whatever box it is drawn in.
const char* kBlueSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 10 10">
  <rect width="10" height="10" fill="#0000ff"/></svg>)";

// A blue bar across the middle of a 10 by 10 picture, white above and below.
const char* kBarSvg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" viewBox="0 0 10 10">
  <rect width="10" height="10" fill="#ffffff"/><rect y="4" width="10" height="2" fill="#0000ff"/></svg>)";

TEST_F(PainterTest, NearerLayersCoverFartherOnesAndEqualLayersKeepDefinitionOrder) {
    WriteScene(Filled("SptRtRed", "10, 10, 100, 100", 20, "#ff0000") + "," +
                   Filled("SptRtBlue", "60, 60, 100, 100", 10, "#0000ff") + "," +
                   Filled("SptRtFirst", "300, 10, 50, 50", 15, "#ff0000") + "," +
                   Filled("SptRtSecond", "320, 10, 50, 50", 15, "#0000ff"),
               R"({"fill": "#00ff00"})");
    Enter();
    const Image image = Paint();
    EXPECT_EQ(image.At(20, 20), kRed);
    EXPECT_EQ(image.At(80, 80), kBlue);  // the overlap: z 10 is nearer than z 20
    EXPECT_EQ(image.At(150, 150), kBlue);
    EXPECT_EQ(image.At(330, 30), kBlue);  // same layer: the later sprite is drawn over
    EXPECT_EQ(image.At(305, 30), kRed);
    EXPECT_EQ(image.At(500, 400), Rgb(0, 255, 0));
}

// Hidden sprites, sprites without a look and sounds draw nothing; a look with its own rect draws
// there and not over the sprite's.
TEST_F(PainterTest, WhatDrawsNothingAndALookWithItsOwnRect) {
    WriteScene(Filled("SptRtHidden", "10, 10, 100, 100", 10, "#ff0000", R"(, "visible": false)") + R"(,
      {"name": "SptRtBare", "kind": "sprite", "rect": [200, 10, 100, 100]},
      {"name": "SptRtUnknownLook", "kind": "sprite", "rect": [400, 10, 100, 100], "effect": "Gone",
       "effects": {"Still": {"fill": "#ff0000"}}},
      {"name": "SndRtHelp", "kind": "sound", "rect": [10, 200, 100, 100],
       "effects": {"Play1": {"fill": "#ff0000", "say": "hi"}}, "effect": "Play1"},
      {"name": "AniRtHilite", "kind": "animation", "rect": [0, 0, 640, 480], "effect": "BoxB",
       "effects": {"BoxA": {"rect": [10, 350, 50, 50], "fill": "#ff0000"},
                   "BoxB": {"rect": [300, 350, 50, 50], "fill": "#ff0000"}}})");
    Enter();
    const Image image = Paint();
    // Sounds are heard, not seen; the animation draws in its look's rect only.
    for (auto [x, y] : render_test::Points{{50, 50}, {250, 50}, {450, 50}, {50, 250}, {30, 370}, {500, 450}}) {
        EXPECT_EQ(image.At(x, y), kWhite) << x << "," << y;
    }
    EXPECT_EQ(image.At(320, 370), kRed);
}

TEST_F(PainterTest, ButtonsWearTheLookOfTheirEffectAndTheDisabledLabelColour) {
    const std::string effects = R"("effects": {
        "Up": {"fill": "#8ce99a", "stroke": "#5b9764", "shape": "roundrect"},
        "Disabled": {"fill": "#d9d9d9", "stroke": "#a6a6a6", "shape": "roundrect", "textColor": "#ff0000"}},
        "font": {"family": "Comic Sans MS", "size": 30, "color": "#0000ff", "align": "center"})";
    WriteScene(R"({"name": "BtnRtUp", "kind": "button", "rect": [10, 10, 200, 60], "text": "MMMM", )" + effects +
               R"(}, {"name": "BtnRtOff", "kind": "button", "rect": [10, 100, 200, 60], "effect": "Disabled",
                     "text": "MMMM", )" + effects + "}");
    Enter();
    const Image image = Paint();
    EXPECT_EQ(image.At(16, 40), Rgb(0x8c, 0xe9, 0x9a));
    EXPECT_EQ(image.At(16, 130), Rgb(0xd9, 0xd9, 0xd9));
    EXPECT_EQ(image.At(10 + 200 / 2, 10 - 1), kWhite);
    // A raised button casts a soft shadow below it; a disabled one does not.
    EXPECT_LT(image.At(10 + 200 / 2, 10 + 60 + 1).Brightness(), kWhite.Brightness());
    EXPECT_EQ(image.At(10 + 200 / 2, 100 + 60 + 1), kWhite);
    // The labels: blue on the raised button, the look's red on the disabled one.
    int blue = 0, red = 0;
    for (int x = 60; x < 160; ++x) {
        for (int y = 20; y < 60; ++y) blue += image.At(x, y) == kBlue ? 1 : 0;
        for (int y = 110; y < 150; ++y) red += image.At(x, y) == kRed ? 1 : 0;
    }
    EXPECT_GT(blue, 20);
    EXPECT_GT(red, 20);
}

TEST_F(PainterTest, TheCoverDimsWhatLiesBehindIt) {
    WriteScene(Filled("SptRtCover", "0, 0, 640, 480", 3, "#00000080", R"(, "cover": true)") + "," +
               Filled("SptRtFront", "100, 100, 50, 50", 1, "#ff0000") + "," +
               Filled("SptRtBehind", "300, 100, 50, 50", 10, "#ff0000"));
    Enter();
    const Image image = Paint();
    EXPECT_EQ(image.At(120, 120), kRed);  // nearer than the cover
    const Pixel dimmed_red = image.At(320, 120);
    EXPECT_NEAR(dimmed_red.r, 127, 2);
    EXPECT_EQ(dimmed_red.g, 0);
    const Pixel dimmed_white = image.At(500, 400);
    EXPECT_NEAR(dimmed_white.r, 127, 2);
    EXPECT_EQ(dimmed_white.r, dimmed_white.b);
}

TEST_F(PainterTest, TextInksInsideItsRectOnly) {
    WriteScene(R"(
      {"name": "TxtRtLong", "kind": "text", "rect": [100, 100, 200, 40],
       "text": "A long sentence that would run far past the right edge of its box",
       "font": {"family": "Comic Sans MS", "size": 40, "color": "#000000", "align": "left"}},
      {"name": "TxtRtRight", "kind": "text", "rect": [100, 300, 400, 40], "text": "Hi",
       "font": {"family": "Comic Sans MS", "size": 30, "color": "#000000", "align": "right"}})");
    Enter();
    const Image image = Paint();
    EXPECT_GT(image.DarkPixels(100, 100, 200, 40), 100);
    EXPECT_EQ(image.DarkPixels(0, 60, 640, 40), 0);    // above
    EXPECT_EQ(image.DarkPixels(0, 140, 640, 40), 0);   // below
    EXPECT_EQ(image.DarkPixels(300, 90, 340, 60), 0);  // right of the box, where it was cut
    // Right aligned: the ink is at the right end of the box.
    EXPECT_GT(image.DarkPixels(440, 300, 60, 40), 20);
    EXPECT_EQ(image.DarkPixels(100, 300, 300, 40), 0);
}

TEST_F(PainterTest, APasswordFieldShowsStarsAndNeverTheLetters) {
    const std::string field = R"("kind": "edit", "z": 20, "effect": "Still",
        "font": {"family": "Comic Sans MS", "size": 20, "color": "#000000"},
        "effects": {"Still": {"fill": "#ffffff", "stroke": "#000000"}})";
    WriteScene(R"({"name": "EdtRtSecret", "rect": [20, 20, 200, 32], "edit": {"password": true}, )" + field +
               R"(}, {"name": "EdtRtPlain", "rect": [20, 100, 200, 32], )" + field +
               R"(}, {"name": "EdtRtStars", "rect": [20, 180, 200, 32], )" + field + "}");
    Enter();
    for (const auto& [y, text] : {std::pair{36, "kite7"}, std::pair{116, "kite7"}, std::pair{196, "*****"}}) {
        ASSERT_TRUE(service_->PointerDown(100, y));
        service_->PointerUp(100, y);
        service_->TypeText(text);
    }
    HxRunUntilIdle();
    const Image image = Paint(500);  // the caret is off at this time
    const auto secret = image.Region(20, 20, 200, 32);
    EXPECT_EQ(secret, image.Region(20, 180, 200, 32));
    EXPECT_NE(secret, image.Region(20, 100, 200, 32));
    EXPECT_GT(image.DarkPixels(28, 28, 150, 16), 10);
}

// The leftmost column of the box where two paintings differ, or -1.
int FirstDifference(const Image& a, const Image& b, int x, int y, int w, int h) {
    for (int i = x; i < x + w; ++i) {
        for (int j = y; j < y + h; ++j) {
            if (!(a.At(i, j) == b.At(i, j))) return i;
        }
    }
    return -1;
}

TEST_F(PainterTest, TheFocusedFieldShowsABlinkingCaretAfterItsText) {
    WriteScene(R"({"name": "EdtRtName", "kind": "edit", "rect": [20, 20, 300, 40], "effect": "Still",
        "font": {"family": "Comic Sans MS", "size": 20, "color": "#000000"},
        "effects": {"Still": {"fill": "#ffffff"}}})");
    Write("ScRtOver.json", R"({"scene": "ScRtOver", "eventPort": "P", "overlay": true, "sprites": []})");
    Enter();
    EXPECT_EQ(FirstDifference(Paint(0), Paint(500), 20, 20, 300, 40), -1);  // no focus: no caret
    ASSERT_TRUE(service_->PointerDown(100, 40));
    service_->PointerUp(100, 40);
    HxRunUntilIdle();
    const int empty_caret = FirstDifference(Paint(0), Paint(500), 20, 20, 300, 40);
    EXPECT_GE(empty_caret, 20);
    EXPECT_LT(empty_caret, 32);
    service_->TypeText("MMM");
    const int typed_caret = FirstDifference(Paint(1000), Paint(1500), 20, 20, 300, 40);
    EXPECT_GT(typed_caret, empty_caret + 30);  // past three letters of 20 pixels
    EXPECT_GT(Paint(1000).DarkPixels(20, 20, 300, 40), Paint(1500).DarkPixels(20, 20, 300, 40));
    // Letters of two bytes each: the caret stands after all of them, as after as many plain ones.
    service_->TypeText("\u00c9\u00c9\u00c9\u00c9\u00c9\u00c9");
    const int accented_caret = FirstDifference(Paint(1000), Paint(1500), 20, 20, 300, 40);
    for (int i = 0; i < 6; ++i) service_->KeyByName("Backspace");
    service_->TypeText("EEEEEE");
    EXPECT_NEAR(accented_caret, FirstDifference(Paint(1000), Paint(1500), 20, 20, 300, 40), 1);
    // Under an overlay the field keeps its focus but takes no keys, and shows no caret.
    ASSERT_TRUE(service_->ShowScene(A("ScRtOver")));
    EXPECT_EQ(FirstDifference(Paint(1000), Paint(1500), 20, 20, 300, 40), -1);
}

// Pictures come from the art folder, a missing one falls back to its look, and an animation that
// runs moves its picture with time.
TEST_F(PainterTest, PicturesDrawFromTheArtFolderAndMoveWhenAnimated) {
    harbor_test::WriteFile(dir_ / "art/blue.svg", kBlueSvg);
    harbor_test::WriteFile(dir_ / "art/bar.svg", kBarSvg);
    const std::string bar = R"("effect": "Play", "effects": {"Play": {"image": "bar.svg", "fill": "#ffffff"}})";
    WriteScene(R"(
      {"name": "SptRtPicture", "kind": "sprite", "rect": [10, 10, 100, 100], "effect": "Still",
       "effects": {"Still": {"fill": "#ff0000", "image": "blue.svg"}}},
      {"name": "SptRtMissing", "kind": "sprite", "rect": [200, 10, 100, 100], "effect": "Still",
       "effects": {"Still": {"fill": "#ff0000", "image": "nowhere.svg"}}},
      {"name": "AniRtRuns", "kind": "animation", "rect": [10, 200, 100, 100], "duration": 3000, )" + bar + R"(},
      {"name": "AniRtStill", "kind": "animation", "rect": [200, 200, 100, 100], )" + bar + "}");
    Enter();
    const Image early = Paint(0);
    const Image later = Paint(400);
    EXPECT_EQ(early.At(60, 60), kBlue);
    EXPECT_EQ(early.At(250, 60), kRed);
    ASSERT_EQ(problems_.size(), 1u);  // reported once, however often it is drawn
    EXPECT_NE(problems_[0].find("nowhere.svg"), std::string::npos);
    EXPECT_NE(early.Region(10, 200, 100, 100), later.Region(10, 200, 100, 100));
    EXPECT_EQ(early.Region(200, 200, 100, 100), later.Region(200, 200, 100, 100));
}

TEST_F(PainterTest, AnOverlayDrawsOverTheSceneBelowWhichShowsAroundIt) {
    WriteScene(Filled("SptRtBase", "0, 0, 640, 480", 90, "#ff0000"));
    Write("ScRtOver.json", R"({"scene": "ScRtOver", "eventPort": "RtOverPort", "overlay": true,
        "background": {}, "sprites": [)" + Filled("SptRtPanel", "100, 100, 100, 100", 50, "#0000ff") + "]}");
    Enter();
    ASSERT_TRUE(service_->ShowScene(A("ScRtOver")));
    const Image image = Paint();
    EXPECT_EQ(image.At(150, 150), kBlue);  // the overlay's far layer is over the base's near one
    EXPECT_EQ(image.At(50, 50), kRed);
}

TEST_F(PainterTest, TheModulesPicturesDrawOverTheirSprites) {
    WriteScene(R"({"name": "SptRtCanvas", "kind": "sprite", "rect": [10, 10, 100, 50]},)" +
               Filled("SptRtPlain", "200, 10, 100, 50", 10, "#ff0000"));
    Enter();
    harbor::CairoSurfacePtr picture(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 5));
    {
        harbor::CairoPtr cr(cairo_create(picture.get()));
        cairo_set_source_rgb(cr.get(), 0, 0, 1);
        cairo_paint(cr.get());
        cairo_set_source_rgb(cr.get(), 1, 0, 0);  // its right half red
        cairo_rectangle(cr.get(), 5, 0, 5, 5);
        cairo_fill(cr.get());
    }
    std::vector<uint16_t> asked;
    Painter().SetPictureProvider([&](uint16_t scene, uint16_t sprite) -> cairo_surface_t* {
        EXPECT_EQ(scene, A("ScRtTest"));
        asked.push_back(sprite);
        return sprite == A("SptRtCanvas") ? picture.get() : nullptr;
    });
    const Image image = Paint();
    EXPECT_EQ(image.At(15, 15), kBlue);  // scaled from 10 by 5 to the rect
    EXPECT_EQ(image.At(30, 30), kBlue);
    EXPECT_EQ(image.At(90, 30), kRed);
    EXPECT_EQ(image.At(105, 55), kRed);
    EXPECT_EQ(image.At(250, 30), kRed);
    EXPECT_EQ(asked.size(), 2u);
}

}  // namespace
