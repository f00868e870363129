#include "canvas/cairo_canvas.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include <pango/pangocairo.h>

namespace harbor {

namespace {

constexpr double kByte = 255.0;
constexpr const char* kDefaultFamily = "Times";
constexpr int32_t kDefaultSize = 12;
constexpr int32_t kBold = 1;
constexpr int32_t kItalic = 2;

FontDescriptionPtr FontOf(const char* family, int32_t style, int32_t size) {
    FontDescriptionPtr desc(pango_font_description_new());
    pango_font_description_set_family(desc.get(), family != nullptr && *family != '\0' ? family : kDefaultFamily);
    pango_font_description_set_weight(desc.get(), (style & kBold) != 0 ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc.get(), (style & kItalic) != 0 ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(desc.get(), std::max(size, 1) * static_cast<double>(PANGO_SCALE));
    return desc;
}

bool OddWidth(float width) { return std::lround(width) % 2 == 1; }

}  // namespace

CairoCanvas::CairoCanvas(const TextSystem& text, int32_t width, int32_t height, std::size_t measure_cache)
    : text_(text),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width_, height_)),
      cr_(cairo_create(surface_.get())),
      font_(FontOf(kDefaultFamily, 0, kDefaultSize)),
      measures_(measure_cache) {
    measures_.SelectFont(kDefaultFamily, 0, kDefaultSize);
    cairo_set_line_width(cr_.get(), pen_width_);
    cairo_set_line_cap(cr_.get(), CAIRO_LINE_CAP_SQUARE);
    cairo_set_source_rgb(cr_.get(), 0, 0, 0);
    Clear(0, 0, 0);
}

CairoCanvas::CairoCanvas(const TextSystem& text, CairoSurfacePtr target, int32_t width, int32_t height)
    : CairoCanvas(text, 0, 0) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    surface_ = std::move(target);
    cr_.reset(cairo_create(surface_.get()));
    cairo_set_line_width(cr_.get(), pen_width_);
    cairo_set_line_cap(cr_.get(), CAIRO_LINE_CAP_SQUARE);
    cairo_set_source_rgb(cr_.get(), 0, 0, 0);
    Clear(0, 0, 0);
}

CairoCanvas::~CairoCanvas() = default;

void CairoCanvas::PenPosition(float* x, float* y) {
    if (x != nullptr) *x = pen_x_;
    if (y != nullptr) *y = pen_y_;
}

void CairoCanvas::GetSize(int32_t* width, int32_t* height) {
    if (width != nullptr) *width = width_;
    if (height != nullptr) *height = height_;
}

CanvasSize CairoCanvas::Size() { return CanvasSize{width_, height_}; }

void CairoCanvas::LineTo(float x, float y) {
    if (!cairo_has_current_point(cr_.get())) cairo_move_to(cr_.get(), pen_x_, pen_y_);
    // Cairo strokes nothing for a line to where it starts: Stroke draws its square itself.
    if (x == pen_x_ && y == pen_y_) {
        dots_.push_back({x, y});
    } else {
        cairo_line_to(cr_.get(), x, y);
    }
    pen_x_ = x;
    pen_y_ = y;
}

void CairoCanvas::MoveTo(float x, float y) {
    cairo_move_to(cr_.get(), x, y);
    pen_x_ = x;
    pen_y_ = y;
}

void CairoCanvas::Rectangle(float x, float y, float width, float height) {
    cairo_rectangle(cr_.get(), x, y, width, height);
    pen_x_ = x;
    pen_y_ = y;
}

void CairoCanvas::SetPenWidth(float width) {
    pen_width_ = std::max(width, 0.0f);
    cairo_set_line_width(cr_.get(), pen_width_);
}

void CairoCanvas::SetColor(uint8_t red, uint8_t green, uint8_t blue) {
    cairo_set_source_rgb(cr_.get(), red / kByte, green / kByte, blue / kByte);
}

GObjectPtr<PangoLayout> CairoCanvas::LayoutOf(const char* text) const {
    GObjectPtr<PangoLayout> layout = text_.Layout(text != nullptr ? text : "", TextStyle{});
    pango_layout_set_font_description(layout.get(), font_.get());
    return layout;
}

// The path being built survives the text: Pango draws with a path of its own.
void CairoCanvas::DrawText(const char* text) {
    GObjectPtr<PangoLayout> layout = LayoutOf(text);
    cairo_t* cr = cr_.get();
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, pen_x_, pen_y_);
    pango_cairo_show_layout(cr, layout.get());
    RecordDrawn(text);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
    pen_x_ += static_cast<float>(TextSystem::Extent(layout.get()).width);
    cairo_move_to(cr, pen_x_, pen_y_);
}

void CairoCanvas::MeasureText(const char* text, float* width, float* height) {
    const std::string_view key = text != nullptr ? text : "";
    std::optional<Measurement> found = measures_.Find(key);
    if (!found) {
        const TextExtent extent = TextSystem::Extent(LayoutOf(text).get());
        found = Measurement{static_cast<float>(extent.width), static_cast<float>(extent.height)};
        measures_.Store(key, *found);
    }
    if (width != nullptr) *width = found->width;
    if (height != nullptr) *height = found->height;
}

void CairoCanvas::RecordDrawn(const char* text) {
    if (!drawn_text_.empty() && pen_y_ != drawn_text_y_) drawn_text_.push_back('\n');
    drawn_text_y_ = pen_y_;
    if (text != nullptr) drawn_text_ += text;
}

void CairoCanvas::ForgetDrawnText() {
    drawn_text_.clear();
    drawn_text_y_ = 0;
}

void CairoCanvas::MeasureTextInt(const char* text, int32_t* width, int32_t* height) {
    float w = 0;
    float h = 0;
    MeasureText(text, &w, &h);
    if (width != nullptr) *width = static_cast<int32_t>(std::ceil(w));
    if (height != nullptr) *height = static_cast<int32_t>(std::ceil(h));
}

void CairoCanvas::Stroke() {
    cairo_t* cr = cr_.get();
    const double shift = OddWidth(pen_width_) ? 0.5 : 0.0;
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, shift, shift);
    cairo_append_path(cr, path);
    cairo_stroke(cr);
    const double half = pen_width_ / 2.0;
    for (const auto& [x, y] : dots_) cairo_rectangle(cr, x - half, y - half, pen_width_, pen_width_);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_path_destroy(path);
    dots_.clear();
}

void CairoCanvas::Fill() {
    cairo_fill(cr_.get());
    dots_.clear();
}

void CairoCanvas::SelectFont(const char* name, int32_t style, int32_t size) {
    font_ = FontOf(name, style, size);
    // The key is what FontOf makes of the request, so requests that give the same font share it.
    measures_.SelectFont(pango_font_description_get_family(font_.get()),
                         style & (kBold | kItalic), std::max(size, 1));
}

void CairoCanvas::Clear(uint8_t red, uint8_t green, uint8_t blue) {
    cairo_t* cr = cr_.get();
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_pattern_t* source = cairo_pattern_reference(cairo_get_source(cr));
    cairo_new_path(cr);
    cairo_set_source_rgb(cr, red / kByte, green / kByte, blue / kByte);
    cairo_paint(cr);
    cairo_set_source(cr, source);
    cairo_pattern_destroy(source);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}

cairo_surface_t* CairoCanvas::Surface() {
    cairo_surface_flush(surface_.get());
    return surface_.get();
}

}  // namespace harbor
