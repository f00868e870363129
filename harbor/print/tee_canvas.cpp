#include "print/tee_canvas.h"

namespace harbor {

namespace {

CanvasSize SizeOf(CanvasInterface& canvas) {
    CanvasSize size{0, 0};
    canvas.GetSize(&size.width, &size.height);
    return size;
}

}  // namespace

TeeCanvas::TeeCanvas(CanvasInterface& shown, const TextSystem& text) : shown_(shown) {
    const CanvasSize size = SizeOf(shown);
    cairo_rectangle_t extents{0, 0, double(size.width), double(size.height)};
    recording_.reset(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
    copy_ = std::make_unique<CairoCanvas>(text, CairoSurfacePtr(cairo_surface_reference(recording_.get())),
                                          size.width, size.height);
}

TeeCanvas::~TeeCanvas() = default;

void TeeCanvas::PenPosition(float* x, float* y) { shown_.PenPosition(x, y); }
void TeeCanvas::GetSize(int32_t* width, int32_t* height) { shown_.GetSize(width, height); }
CanvasSize TeeCanvas::Size() { return shown_.Size(); }

void TeeCanvas::LineTo(float x, float y) {
    shown_.LineTo(x, y);
    copy_->LineTo(x, y);
}

void TeeCanvas::MoveTo(float x, float y) {
    shown_.MoveTo(x, y);
    copy_->MoveTo(x, y);
}

void TeeCanvas::Rectangle(float x, float y, float width, float height) {
    shown_.Rectangle(x, y, width, height);
    copy_->Rectangle(x, y, width, height);
}

void TeeCanvas::SetPenWidth(float width) {
    shown_.SetPenWidth(width);
    copy_->SetPenWidth(width);
}

void TeeCanvas::SetColor(uint8_t red, uint8_t green, uint8_t blue) {
    shown_.SetColor(red, green, blue);
    copy_->SetColor(red, green, blue);
}

void TeeCanvas::DrawText(const char* text) {
    shown_.DrawText(text);
    copy_->DrawText(text);
    drew_ = true;
}

void TeeCanvas::MeasureText(const char* text, float* width, float* height) { shown_.MeasureText(text, width, height); }

void TeeCanvas::MeasureTextInt(const char* text, int32_t* width, int32_t* height) {
    shown_.MeasureTextInt(text, width, height);
}

void TeeCanvas::Stroke() {
    shown_.Stroke();
    copy_->Stroke();
    drew_ = true;
}

void TeeCanvas::Fill() {
    shown_.Fill();
    copy_->Fill();
    drew_ = true;
}

void TeeCanvas::SelectFont(const char* name, int32_t style, int32_t size) {
    shown_.SelectFont(name, style, size);
    copy_->SelectFont(name, style, size);
}

CairoSurfacePtr TeeCanvas::Copy() {
    cairo_surface_flush(copy_->Surface());
    return CairoSurfacePtr(cairo_surface_reference(recording_.get()));
}

}  // namespace harbor
