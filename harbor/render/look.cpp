#include "render/look.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace harbor {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<double> Channel(std::string_view two) {
    const int hi = HexDigit(two[0]), lo = HexDigit(two[1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    return (hi * 16 + lo) / 255.0;
}

std::optional<Rgba> ColorMember(const nlohmann::json& look, const char* key) {
    auto it = look.find(key);
    if (it == look.end() || !it->is_string()) return std::nullopt;
    return ParseColor(it->get_ref<const std::string&>());
}

std::optional<Rect> RectMember(const nlohmann::json& look) {
    auto it = look.find("rect");
    if (it == look.end() || !it->is_array() || it->size() != 4) return std::nullopt;
    int32_t v[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& part = (*it)[i];
        if (!part.is_number_integer()) return std::nullopt;
        v[i] = part.get<int32_t>();
    }
    if (v[2] < 0 || v[3] < 0) return std::nullopt;
    return Rect{v[0], v[1], v[2], v[3]};
}

LookShape ShapeMember(const nlohmann::json& look) {
    auto it = look.find("shape");
    if (it == look.end() || !it->is_string()) return LookShape::Rect;
    const std::string& name = it->get_ref<const std::string&>();
    if (name == "roundrect") return LookShape::RoundRect;
    if (name == "ellipse") return LookShape::Ellipse;
    return LookShape::Rect;
}

void RoundRectPath(cairo_t* cr, const Box& b) {
    // Rounded like a pill on small boxes, a gentle corner on big ones.
    const double r = std::min({12.0, b.width / 2, b.height / 2});
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, b.x + b.width - r, b.y + r, r, -kQuarter, 0);
    cairo_arc(cr, b.x + b.width - r, b.y + b.height - r, r, 0, kQuarter);
    cairo_arc(cr, b.x + r, b.y + b.height - r, r, kQuarter, 2 * kQuarter);
    cairo_arc(cr, b.x + r, b.y + r, r, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, const Box& b) {
    if (b.width <= 0 || b.height <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, b.x + b.width / 2, b.y + b.height / 2);
    cairo_scale(cr, b.width / 2, b.height / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
}

}  // namespace

std::optional<Rgba> ParseColor(std::string_view text) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') return std::nullopt;
    Rgba color;
    double* channels[4] = {&color.r, &color.g, &color.b, &color.a};
    for (std::size_t i = 0; 1 + 2 * i < text.size(); ++i) {
        std::optional<double> value = Channel(text.substr(1 + 2 * i, 2));
        if (!value) return std::nullopt;
        *channels[i] = *value;
    }
    return color;
}

void SetSource(cairo_t* cr, const Rgba& color, double alpha) {
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a * alpha);
}

Box ToBox(const Rect& rect) { return {double(rect.x), double(rect.y), double(rect.width), double(rect.height)}; }

Look ParseLook(const nlohmann::json& look) {
    Look parsed;
    if (!look.is_object()) return parsed;
    parsed.fill = ColorMember(look, "fill");
    parsed.stroke = ColorMember(look, "stroke");
    parsed.text_color = ColorMember(look, "textColor");
    parsed.shape = ShapeMember(look);
    parsed.rect = RectMember(look);
    if (auto it = look.find("image"); it != look.end() && it->is_string()) parsed.image = it->get<std::string>();
    return parsed;
}

void ShapePath(cairo_t* cr, LookShape shape, const Box& box) {
    switch (shape) {
        case LookShape::RoundRect: RoundRectPath(cr, box); return;
        case LookShape::Ellipse: EllipsePath(cr, box); return;
        case LookShape::Rect: break;
    }
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
}

void FillShape(cairo_t* cr, LookShape shape, const Box& box, const Rgba& color, double alpha) {
    cairo_new_path(cr);
    ShapePath(cr, shape, box);
    SetSource(cr, color, alpha);
    cairo_fill(cr);
}

void StrokeShape(cairo_t* cr, LookShape shape, const Box& box, const Rgba& color, double alpha) {
    const double inset = kStrokeWidth / 2;
    const Box inner{box.x + inset, box.y + inset, box.width - kStrokeWidth, box.height - kStrokeWidth};
    if (inner.width <= 0 || inner.height <= 0) return;
    cairo_new_path(cr);
    ShapePath(cr, shape, inner);
    SetSource(cr, color, alpha);
    cairo_set_line_width(cr, kStrokeWidth);
    cairo_stroke(cr);
}

}  // namespace harbor
