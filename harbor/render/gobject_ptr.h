// Owning pointers for the GLib and Cairo objects the painter keeps: one unref each, never a
// leaked reference on an early return.
#ifndef HARBOR_RENDER_GOBJECT_PTR_H
#define HARBOR_RENDER_GOBJECT_PTR_H

#include <memory>

#include <cairo.h>
#include <glib-object.h>
#include <pango/pango.h>

namespace harbor {

struct GObjectUnref {
    void operator()(void* object) const {
        if (object != nullptr) g_object_unref(object);
    }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct CairoSurfaceDestroy {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

struct CairoDestroy {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDestroy>;

struct FontOptionsDestroy {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};
using FontOptionsPtr = std::unique_ptr<cairo_font_options_t, FontOptionsDestroy>;

struct FontDescriptionFree {
    void operator()(PangoFontDescription* desc) const { pango_font_description_free(desc); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

}  // namespace harbor

#endif
