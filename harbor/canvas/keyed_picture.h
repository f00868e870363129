// The picture a canvas sprite is painted from: a copy of its canvas in which the transparent
// colour is keyed out (fully transparent), everything else opaque.
#ifndef HARBOR_CANVAS_KEYED_PICTURE_H
#define HARBOR_CANVAS_KEYED_PICTURE_H

#include <cstdint>

#include <cairo.h>

#include "render/gobject_ptr.h"

namespace harbor {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

inline constexpr Rgb kDefaultTransparent{0, 255, 0};

// An ARGB32 copy of `image` (an opaque ARGB32 or RGB24 image surface); null when it cannot be made.
CairoSurfacePtr KeyedPicture(cairo_surface_t* image, Rgb transparent);

}  // namespace harbor

#endif
