// Shared pieces of the canvas tests: Harbor's fonts for canvases made directly, and a painted
// scene with canvas sprites made the way the module makes them, whose pivot ports are answered by
// handlers that paint the canvas they are given.
#ifndef WRENMAIL_TESTS_HARBOR_CANVAS_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_CANVAS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <cairo.h>

#include "canvas.h"
#include "canvas/canvas_sprites.h"
#include "render/font_config.h"
#include "render/text_system.h"
#include "render_test_support.h"
#include "scene_test_support.h"

namespace canvas_test {

using harbor_test::A;
using harbor_test::Req;

// Canvas pixels are read as the painter tests read the stage.
using Colour = render_test::Pixel;
using render_test::PixelAt;
using render_test::Points;

inline constexpr Colour kWhite{255, 255, 255, 255};
inline constexpr Colour kBlack{0, 0, 0, 255};
inline constexpr Colour kRed{255, 0, 0, 255};
inline constexpr Colour kGreen{0, 255, 0, 255};

// Harbor's fonts, loaded once, in a text system of the test's own.
inline const harbor::TextSystem& Fonts() {
    static const std::unique_ptr<harbor::TextSystem> text = [] {
        std::string error;
        EXPECT_TRUE(harbor::SetUpFonts(WRENMAIL_CONTENT_DIR, error)) << error;
        return std::make_unique<harbor::TextSystem>(harbor::HarborFontConfig());
    }();
    return *text;
}

// What a pivot port's handler paints, and how it answers.
struct Pivot {
    Colour fill = kRed;
    int green_columns = 0;  // the first columns are painted pure green
    bool answer = true;
    bool updated = true;
    std::vector<std::string> rows;  // texts written one under the other, 20 units apart
    std::vector<EDict> requests;    // as they came in
};

inline Pivot up_pivot;
inline Pivot down_pivot;

inline bool Paint(Pivot& pivot, EDict* record) {
    pivot.requests.push_back(*record);
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    if (canvas == nullptr) return false;
    const CanvasSize size = canvas->Size();
    canvas->SetColor(static_cast<uint8_t>(pivot.fill.r), static_cast<uint8_t>(pivot.fill.g),
                     static_cast<uint8_t>(pivot.fill.b));
    canvas->Rectangle(0, 0, static_cast<float>(size.width), static_cast<float>(size.height));
    canvas->Fill();
    canvas->SetColor(0, 255, 0);
    canvas->Rectangle(0, 0, static_cast<float>(pivot.green_columns), static_cast<float>(size.height));
    canvas->Fill();
    canvas->SelectFont("Comic Sans MS", 0, 12);
    for (std::size_t i = 0; i < pivot.rows.size(); ++i) {
        canvas->MoveTo(2, static_cast<float>(20 * i));
        canvas->DrawText(pivot.rows[i].c_str());
    }
    if (pivot.updated) EDictPutBool(record, A("UPDATED"), true);
    return pivot.answer;
}

inline bool HXCALL OnUpPivot(EDict* record) { return Paint(up_pivot, record); }
inline bool HXCALL OnDownPivot(EDict* record) { return Paint(down_pivot, record); }

// ResPort's answer to a making request: NAME when STATUS is true, else 0.
inline uint16_t Made(Req& request) {
    EDict d = request.To(A("ResPort"));
    return EDictGetBool(&d, A("STATUS")) ? EDictGetShort(&d, A("NAME")) : 0;
}

inline uint16_t NewSprite(uint16_t sprite) { return Made(Req(30080).Long("TYPE", 3).Atom("NAME", sprite)); }

inline uint16_t NewEffect(uint16_t sprite, const char* fx) {
    return Made(Req(30080).Long("TYPE", 4).Atom("NAME", sprite).Atom("FX", fx));
}

inline uint16_t NewBitmap(int32_t width, int32_t height) {
    return Made(Req(30080).Long("TYPE", 5).Long("WIDTH", width).Long("HEIGHT", height));
}

inline void SetTransparent(uint16_t bitmap, Colour background, Colour transparent) {
    Req(30052).Atom("NAME", bitmap).Long("TYPE", 5).Long("BG_RED", background.r).Long("BG_GREEN", background.g)
        .Long("BG_BLUE", background.b).Long("TRANSRED", transparent.r).Long("TRANSGREEN", transparent.g)
        .Long("TRANSBLUE", transparent.b).SendTo(A("ResPort"));
}

struct CanvasParts {
    uint16_t effect = 0;
    uint16_t bitmap = 0;
};

// The sprite's look `fx` on a new bitmap keyed on green, painted by `pivot` (none when 0).
inline CanvasParts MakeLook(uint16_t sprite, const char* fx, uint16_t pivot, int32_t width, int32_t height) {
    CanvasParts made{NewEffect(sprite, fx), NewBitmap(width, height)};
    SetTransparent(made.bitmap, kBlack, kGreen);
    Req look(30052);
    look.Long("TYPE", 4).Atom("NAME", sprite).Atom("FX", fx).Atom("BITMAP", made.bitmap).Long("ANIMREPEAT", -1);
    if (pivot != 0) look.Atom("PIVOT", pivot);
    look.SendTo(A("ResPort"));
    return made;
}

struct Placement {
    int32_t x = 0, y = 0, width = 0, height = 0, z = 5;
    bool interactive = true;
    bool button = false;
    bool visible = true;  // the canvas sprite's own flag; placing it on the scene shows it
};

// Its properties set (shown, taking input or not) and placed on the scene.
inline void Place(uint16_t sprite, uint16_t scene, const Placement& at) {
    Req props(30052);
    props.Long("TYPE", 3).Atom("NAME", sprite).Long("TRANSPARENCY", 0).Long("VISIBLE", at.visible ? 1 : 0);
    props.Long("INTERACTIVE", at.interactive ? 1 : 0);
    if (at.button) props.Atom("KIND", "BUTTON");
    props.SendTo(A("ResPort"));
    Req(30013).Atom("SPRITENAME", sprite).Long("X", at.x).Long("Y", at.y).Long("Z", at.z).SendTo(scene);
}

// The module's canvas sprite: sprite, "Default" look, bitmap, properties, placed on the scene.
inline CanvasParts MakeCanvasSprite(uint16_t sprite, uint16_t scene, uint16_t pivot, const Placement& at) {
    NewSprite(sprite);
    const CanvasParts made = MakeLook(sprite, "Default", at.interactive ? pivot : 0, at.width, at.height);
    Place(sprite, scene, at);
    return made;
}

// The painter's scene with a canvas sprite service over it.
class CanvasSpriteTest : public render_test::PainterTest {
protected:
    void SetUp() override {
        PainterTest::SetUp();
        up_pivot = Pivot{};
        down_pivot = Pivot{};
        WriteScene("");
        Enter();
        canvases_ = std::make_unique<harbor::CanvasSprites>(*service_, dir_);
        HxPortAttach(A("TestPivotUp"), &OnUpPivot);
        HxPortAttach(A("TestPivotDown"), &OnDownPivot);
        Painter().SetPictureProvider(
            [this](uint16_t scene, uint16_t sprite) { return canvases_->Picture(scene, sprite); });
    }

    void TearDown() override {
        canvases_.reset();
        PainterTest::TearDown();
    }

    render_test::Image Refreshed() {
        canvases_->Refresh();
        return Paint();
    }

    std::unique_ptr<harbor::CanvasSprites> canvases_;
};

}  // namespace canvas_test

#endif
