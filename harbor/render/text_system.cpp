#include "render/text_system.h"

#include <cmath>

#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

namespace harbor {

namespace {

constexpr double kPango = PANGO_SCALE;

int ToPango(double pixels) { return static_cast<int>(std::lround(pixels * kPango)); }

PangoAlignment PangoAlign(TextAlign align) {
    switch (align) {
        case TextAlign::Center: return PANGO_ALIGN_CENTER;
        case TextAlign::Right: return PANGO_ALIGN_RIGHT;
        case TextAlign::Left: break;
    }
    return PANGO_ALIGN_LEFT;
}

}  // namespace

FontOptionsPtr TextSystem::MetricsOptions() {
    FontOptionsPtr options(cairo_font_options_create());
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
    return options;
}

TextSystem::TextSystem(FcConfig* config)
    : font_map_(pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT)) {
    // A font map of our own: the per-thread default one may already hold another configuration.
    if (config != nullptr) pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(font_map_.get()), config);
    context_.reset(pango_font_map_create_context(font_map_.get()));
    FontOptionsPtr options = MetricsOptions();
    pango_cairo_context_set_font_options(context_.get(), options.get());
    pango_context_set_round_glyph_positions(context_.get(), FALSE);
    // Fixed, not from the locale: the language steers which fallback fonts are chosen.
    pango_context_set_language(context_.get(), pango_language_from_string("en"));
    pango_context_set_base_dir(context_.get(), PANGO_DIRECTION_LTR);
}

FontDescriptionPtr TextSystem::Description(const TextStyle& style) const {
    FontDescriptionPtr desc(pango_font_description_new());
    pango_font_description_set_family(desc.get(), style.family.c_str());
    pango_font_description_set_absolute_size(desc.get(), style.size * kPango);
    return desc;
}

GObjectPtr<PangoLayout> TextSystem::Layout(std::string_view text, const TextStyle& style) const {
    GObjectPtr<PangoLayout> layout(pango_layout_new(context_.get()));
    // Module texts are bytes: a long word is cut wherever a line ends, so a piece may hold part
    // of a character. Such bytes become U+FFFD here: given them raw, Pango warns at every draw and
    // a printed page drops text drawn after them.
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
    } else {
        gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        pango_layout_set_text(layout.get(), valid, -1);
        g_free(valid);
    }
    FontDescriptionPtr desc = Description(style);
    pango_layout_set_font_description(layout.get(), desc.get());
    if (style.width > 0) {
        pango_layout_set_width(layout.get(), ToPango(style.width));
        pango_layout_set_alignment(layout.get(), PangoAlign(style.align));
        if (style.wrap) {
            pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        } else {
            pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
        }
    }
    return layout;
}

TextExtent TextSystem::Extent(PangoLayout* layout) {
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    TextExtent extent;
    extent.x = logical.x / kPango;
    extent.width = logical.width / kPango;
    extent.height = logical.height / kPango;
    extent.baseline = pango_layout_get_baseline(layout) / kPango;
    extent.lines = pango_layout_get_line_count(layout);
    return extent;
}

TextExtent TextSystem::Measure(std::string_view text, const TextStyle& style) const {
    GObjectPtr<PangoLayout> layout = Layout(text, style);
    return Extent(layout.get());
}

double TextSystem::CaretX(PangoLayout* layout, std::size_t index) {
    PangoRectangle pos;
    pango_layout_index_to_pos(layout, static_cast<int>(index), &pos);
    return pos.x / kPango;
}

std::string TextSystem::ResolvedFamily(const std::string& family) const {
    TextStyle style;
    style.family = family;
    FontDescriptionPtr desc = Description(style);
    GObjectPtr<PangoFont> font(pango_font_map_load_font(font_map_.get(), context_.get(), desc.get()));
    if (!font) return "";
    FontDescriptionPtr found(pango_font_describe(font.get()));
    const char* name = pango_font_description_get_family(found.get());
    return name != nullptr ? name : "";
}

}  // namespace harbor
