// The drawing canvas handed to the module's draw handlers: a Cairo image surface behind the ABI's
// CanvasInterface. Text is laid out through the text system (text_system.h), so the module
// measures with the same metrics the painter uses.
//
// Pen and path: MoveTo, LineTo and Rectangle build one path, which Stroke and Fill use and clear.
// The pen stays where the last operation left it (a rectangle leaves it at its corner, as Cairo
// does), even across Stroke and Fill. Strokes of odd integer widths are drawn half a pixel in, so
// a one-pixel line at row y covers exactly row y; lines get square caps, so a line from a point to
// itself is one pixel.
//
// Text is drawn with its layout box's top left corner at the pen, and the pen then moves right by
// the text's width. MeasureTextInt rounds the float measure up (ceil), so a box of that size holds
// the whole text. Measurements are remembered per font (measure_cache.h).
//
// The canvas keeps the texts drawn on it since ForgetDrawnText, so checks can read what a painted
// picture says without reading pixels.
#ifndef HARBOR_CANVAS_CAIRO_CANVAS_H
#define HARBOR_CANVAS_CAIRO_CANVAS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <cairo.h>

#include "canvas.h"
#include "canvas/measure_cache.h"
#include "render/gobject_ptr.h"
#include "render/text_system.h"

namespace harbor {

class CairoCanvas final : public CanvasInterface {
public:
    // A width by height ARGB32 surface, black until drawn on; `text` must outlive the canvas.
    // `measure_cache` bounds the remembered measurements (0: measure every time).
    CairoCanvas(const TextSystem& text, int32_t width, int32_t height,
                std::size_t measure_cache = MeasureCache::kDefaultCapacity);
    // Draws onto `target`, a surface of the given size, instead: a recording surface keeps what
    // the module draws as vectors, so a printed page keeps its text as text.
    CairoCanvas(const TextSystem& text, CairoSurfacePtr target, int32_t width, int32_t height);
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;
    ~CairoCanvas() override;

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

    // Fills the whole surface with one colour; the path and pen are kept.
    void Clear(uint8_t red, uint8_t green, uint8_t blue);
    // Drawing is flushed: the surface's pixels are current.
    cairo_surface_t* Surface();
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    // The texts drawn since ForgetDrawnText, in drawing order; a text drawn at another pen height
    // than the text before it starts a new line ("\n").
    const std::string& DrawnText() const { return drawn_text_; }
    void ForgetDrawnText();

private:
    GObjectPtr<PangoLayout> LayoutOf(const char* text) const;
    void RecordDrawn(const char* text);

    const TextSystem& text_;
    int32_t width_;
    int32_t height_;
    CairoSurfacePtr surface_;
    CairoPtr cr_;
    FontDescriptionPtr font_;
    MeasureCache measures_;
    std::string drawn_text_;
    float drawn_text_y_ = 0;  // the pen height of the last text drawn
    float pen_x_ = 0;
    float pen_y_ = 0;
    float pen_width_ = 1;
    std::vector<std::pair<float, float>> dots_;  // lines from a point to itself, since the last stroke
};

}  // namespace harbor

#endif
