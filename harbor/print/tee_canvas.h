// A canvas that passes every call on to the canvas the module was handed and repeats the drawing
// on a copy: the print service hands it to the module in place of a rich text sprite's canvas, so
// the copy, drawn on a recording surface, keeps the module's picture as vectors for the page
// while the window's picture is drawn exactly as before. Answers (sizes, measures, the pen) come
// from the first canvas.
#ifndef HARBOR_PRINT_TEE_CANVAS_H
#define HARBOR_PRINT_TEE_CANVAS_H

#include <cstdint>
#include <memory>

#include "canvas.h"
#include "canvas/cairo_canvas.h"
#include "render/gobject_ptr.h"

namespace harbor {

class TeeCanvas final : public CanvasInterface {
public:
    // The copy is a canvas of the same size on a recording surface, laid out with `text`.
    TeeCanvas(CanvasInterface& shown, const TextSystem& text);
    TeeCanvas(const TeeCanvas&) = delete;
    TeeCanvas& operator=(const TeeCanvas&) = delete;
    ~TeeCanvas() override;

    void HXCALL PenPosition(float* x, float* y) override;
    void HXCALL GetSize(int32_t* width, int32_t* height) override;
    CanvasSize HXCALL Size() override;
    void HXCALL LineTo(float x, float y) override;
    void HXCALL MoveTo(float x, float y) override;
    void HXCALL Rectangle(float x, float y, float width, float height) override;
    void HXCALL SetPenWidth(float width) override;
    void HXCALL SetColor(uint8_t red, uint8_t green, uint8_t blue) override;
    void HXCALL DrawText(const char* text) override;
    void HXCALL MeasureText(const char* text, float* width, float* height) override;
    void HXCALL MeasureTextInt(const char* text, int32_t* width, int32_t* height) override;
    void HXCALL Stroke() override;
    void HXCALL Fill() override;
    void HXCALL SelectFont(const char* name, int32_t style, int32_t size) override;

    // Something was drawn (a stroke, a fill or a text): the copy is a new picture.
    bool Drew() const { return drew_; }
    // The copy's recording, its drawing flushed; a new reference.
    CairoSurfacePtr Copy();

private:
    CanvasInterface& shown_;
    CairoSurfacePtr recording_;
    std::unique_ptr<CairoCanvas> copy_;
    bool drew_ = false;
};

}  // namespace harbor

#endif
