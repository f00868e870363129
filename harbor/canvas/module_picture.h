// A picture the module paints for a sprite: the canvas handed over with every draw request, and
// the last picture the module answered with. Canvas sprites and rich text sprites both keep their
// pictures this way.
//
//   port 30072 NAME = sprite, "Bitmap" = the canvas      answer true with UPDATED: a new picture
//
// Any other answer (false, or no UPDATED) keeps the last picture: the module had nothing new.
#ifndef HARBOR_CANVAS_MODULE_PICTURE_H
#define HARBOR_CANVAS_MODULE_PICTURE_H

#include <cstdint>
#include <memory>
#include <string>

#include <cairo.h>

#include "canvas/cairo_canvas.h"
#include "canvas/keyed_picture.h"
#include "render/gobject_ptr.h"

namespace harbor {

// Larger canvases are refused: the stage is 640 by 480.
inline constexpr int32_t kLargestCanvasSide = 4096;

struct ModulePicture {
    std::unique_ptr<CairoCanvas> canvas;
    Rgb transparent = kDefaultTransparent;
    CairoSurfacePtr picture;  // null until the module first draws
    std::string text;         // the texts drawn on `picture` (CairoCanvas::DrawnText)

    // The canvas as it is now becomes the picture, its transparent colour keyed out.
    void Keep();
};

// Asks the handlers of `port` to paint `sprite` on `canvas`; true when they drew (answered true
// with UPDATED). The canvas forgets its drawn texts first, so after a true answer they are the
// new picture's. The module's handler may delete what owns the canvas: find it again after.
bool RequestDrawing(uint16_t port, uint16_t sprite, CairoCanvas& canvas);

}  // namespace harbor

#endif
