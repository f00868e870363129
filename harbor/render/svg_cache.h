// The SVG pictures of the looks, loaded once from content/art/ and kept rasterised at the sizes
// they are drawn at, so a frame costs a blit per picture rather than a vector render.
#ifndef HARBOR_RENDER_SVG_CACHE_H
#define HARBOR_RENDER_SVG_CACHE_H

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include <cairo.h>
#include <librsvg/rsvg.h>

#include "render/gobject_ptr.h"
#include "render/look.h"

namespace harbor {

class SvgCache {
public:
    using ProblemSink = std::function<void(const std::string&)>;

    explicit SvgCache(std::filesystem::path art_dir);

    // Problems (a missing or unreadable file) are reported here once per file.
    void SetProblemSink(ProblemSink sink) { problems_ = std::move(sink); }

    // Draws the picture into `box` (its aspect kept, centred, as the file asks). False when the
    // picture cannot be had; the caller's look then stands alone.
    bool Draw(cairo_t* cr, const std::string& name, const Box& box);
    // The picture's own size in pixels (width, height); none when it cannot be loaded or has no
    // size of its own.
    std::optional<std::pair<double, double>> Size(const std::string& name);

private:
    RsvgHandle* Handle(const std::string& name);
    cairo_surface_t* Raster(const std::string& name, RsvgHandle* handle, int width, int height);

    std::filesystem::path art_dir_;
    ProblemSink problems_;
    std::map<std::string, GObjectPtr<RsvgHandle>> handles_;  // null: could not be loaded
    std::map<std::tuple<std::string, int, int>, CairoSurfacePtr> rasters_;
};

}  // namespace harbor

#endif
