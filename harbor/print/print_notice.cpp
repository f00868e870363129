#include "print/print_notice.h"

#include <pango/pangocairo.h>

#include "render/gobject_ptr.h"

namespace harbor {

namespace {

constexpr double kMargin = 12;
constexpr double kPadding = 8;
constexpr double kWidth = 640 - 2 * kMargin;
constexpr double kBottom = 480 - kMargin;

}  // namespace

void PrintNotice::Show(std::string text, uint64_t now_ms) {
    text_ = std::move(text);
    since_ms_ = now_ms;
}

void PrintNotice::Paint(cairo_t* cr, uint64_t now_ms) const {
    if (!Shown(now_ms)) return;
    cairo_save(cr);
    GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(cr));
    FontDescriptionPtr font(pango_font_description_from_string("Sans"));
    pango_font_description_set_absolute_size(font.get(), 13 * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_width(layout.get(), static_cast<int>((kWidth - 2 * kPadding) * PANGO_SCALE));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_text(layout.get(), text_.c_str(), -1);
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(layout.get(), &width, &height);
    const double top = kBottom - height - 2 * kPadding;
    cairo_rectangle(cr, kMargin, top, kWidth, height + 2 * kPadding);
    cairo_set_source_rgba(cr, 0.12, 0.16, 0.27, 0.9);
    cairo_fill(cr);
    cairo_move_to(cr, kMargin + kPadding, top + kPadding);
    cairo_set_source_rgb(cr, 1, 1, 1);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
}

}  // namespace harbor
