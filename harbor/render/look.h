// A look as the scene files write it (docs/scene-format.md): fill, stroke, shape, image,
// textColor and an optional rect of its own. Values the painter cannot read are left out, so a
// bad colour draws nothing rather than something wrong.
#ifndef HARBOR_RENDER_LOOK_H
#define HARBOR_RENDER_LOOK_H

#include <optional>
#include <string>
#include <string_view>

#include <cairo.h>
#include <nlohmann/json.hpp>

#include "scene/scene_def.h"

namespace harbor {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

// "#rrggbb" or "#rrggbbaa".
std::optional<Rgba> ParseColor(std::string_view text);
void SetSource(cairo_t* cr, const Rgba& color, double alpha = 1.0);

enum class LookShape { Rect, RoundRect, Ellipse };

struct Box {
    double x = 0, y = 0, width = 0, height = 0;
};
Box ToBox(const Rect& rect);

struct Look {
    std::optional<Rgba> fill;
    std::optional<Rgba> stroke;
    std::optional<Rgba> text_color;
    LookShape shape = LookShape::Rect;
    std::string image;  // relative to content/art/
    std::optional<Rect> rect;
};

Look ParseLook(const nlohmann::json& look);

// The outline of the shape filling `box`; strokes are drawn inside the box.
void ShapePath(cairo_t* cr, LookShape shape, const Box& box);
void FillShape(cairo_t* cr, LookShape shape, const Box& box, const Rgba& color, double alpha = 1.0);
void StrokeShape(cairo_t* cr, LookShape shape, const Box& box, const Rgba& color, double alpha = 1.0);

inline constexpr double kStrokeWidth = 2.0;

}  // namespace harbor

#endif
