// A scene with canvas sprites made the way the module makes them, pivot ports answered by test
// handlers that paint the canvas they are given, and the stage painted from the pictures.
#ifndef WRENMAIL_TESTS_HARBOR_CANVAS_SPRITE_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_CANVAS_SPRITE_SUPPORT_H

#include <string>
#include <vector>

#include "canvas.h"
#include "canvas/canvas_sprites.h"
#include "canvas_test_support.h"
#include "render_test_support.h"

namespace canvas_test {

using harbor_test::A;
using harbor_test::Record;

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

// The answer's NAME when STATUS is true, else 0.
inline uint16_t Made(EDict& d) { return EDictGetBool(&d, A("STATUS")) ? EDictGetShort(&d, A("NAME")) : 0; }

inline uint16_t NewEffect(uint16_t sprite, const char* fx) {
    EDict d = Record(30080);
    EDictPutLong(&d, A("TYPE"), 4);
    EDictPutShort(&d, A("NAME"), sprite);
    EDictPutShort(&d, A("FX"), A(fx));
    HxPortSend(A("ResPort"), &d);
    return Made(d);
}

inline uint16_t NewBitmap(int32_t width, int32_t height) {
    EDict d = Record(30080);
    EDictPutLong(&d, A("TYPE"), 5);
    EDictPutLong(&d, A("WIDTH"), width);
    EDictPutLong(&d, A("HEIGHT"), height);
    HxPortSend(A("ResPort"), &d);
    return Made(d);
}

inline void SetTransparent(uint16_t bitmap, Colour background, Colour transparent) {
    EDict d = Record(30052);
    EDictPutShort(&d, A("NAME"), bitmap);
    EDictPutLong(&d, A("TYPE"), 5);
    EDictPutLong(&d, A("BG_RED"), background.r);
    EDictPutLong(&d, A("BG_GREEN"), background.g);
    EDictPutLong(&d, A("BG_BLUE"), background.b);
    EDictPutLong(&d, A("TRANSRED"), transparent.r);
    EDictPutLong(&d, A("TRANSGREEN"), transparent.g);
    EDictPutLong(&d, A("TRANSBLUE"), transparent.b);
    HxPortSend(A("ResPort"), &d);
}

inline void SetLook(uint16_t sprite, const char* fx, uint16_t pivot, uint16_t bitmap) {
    EDict d = Record(30052);
    EDictPutLong(&d, A("TYPE"), 4);
    EDictPutShort(&d, A("NAME"), sprite);
    EDictPutShort(&d, A("FX"), A(fx));
    if (pivot != 0) EDictPutShort(&d, A("PIVOT"), pivot);
    EDictPutShort(&d, A("BITMAP"), bitmap);
    EDictPutLong(&d, A("ANIMREPEAT"), -1);
    HxPortSend(A("ResPort"), &d);
}

struct CanvasParts {
    uint16_t effect = 0;
    uint16_t bitmap = 0;
};

struct Placement {
    int32_t x = 0, y = 0, width = 0, height = 0, z = 5;
    bool interactive = true;
};

// The module's canvas sprite: sprite, "Default" look, bitmap, properties, placed on the scene.
inline CanvasParts MakeCanvasSprite(uint16_t sprite, uint16_t scene, uint16_t pivot, const Placement& at) {
    EDict d = Record(30080);
    EDictPutLong(&d, A("TYPE"), 3);
    EDictPutShort(&d, A("NAME"), sprite);
    HxPortSend(A("ResPort"), &d);
    CanvasParts made;
    made.effect = NewEffect(sprite, "Default");
    made.bitmap = NewBitmap(at.width, at.height);
    SetTransparent(made.bitmap, kBlack, Colour{0, 255, 0, 255});
    SetLook(sprite, "Default", at.interactive ? pivot : 0, made.bitmap);
    EDict props = Record(30052);
    EDictPutLong(&props, A("TYPE"), 3);
    EDictPutShort(&props, A("NAME"), sprite);
    EDictPutLong(&props, A("TRANSPARENCY"), 0);
    EDictPutLong(&props, A("VISIBLE"), 1);
    EDictPutLong(&props, A("INTERACTIVE"), at.interactive ? 1 : 0);
    HxPortSend(A("ResPort"), &props);
    EDict place = Record(30013);
    EDictPutShort(&place, A("SPRITENAME"), sprite);
    EDictPutLong(&place, A("X"), at.x);
    EDictPutLong(&place, A("Y"), at.y);
    EDictPutLong(&place, A("Z"), at.z);
    HxPortSend(scene, &place);
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
