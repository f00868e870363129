#include "render/svg_cache.h"

#include <algorithm>
#include <cmath>

namespace harbor {

namespace {

// Enough for every stamp and panel of the content at two window sizes.
constexpr std::size_t kMaxRasters = 256;
constexpr int kMaxRasterSide = 8192;

}  // namespace

SvgCache::SvgCache(std::filesystem::path art_dir) : art_dir_(std::move(art_dir)) {}

RsvgHandle* SvgCache::Handle(const std::string& name) {
    auto it = handles_.find(name);
    if (it != handles_.end()) return it->second.get();
    const std::filesystem::path file = art_dir_ / name;
    GError* error = nullptr;
    GObjectPtr<RsvgHandle> handle(rsvg_handle_new_from_file(file.c_str(), &error));
    if (!handle && problems_) {
        problems_("cannot load the picture " + file.string() + ": " +
                  (error != nullptr ? error->message : "unknown error"));
    }
    if (error != nullptr) g_error_free(error);
    return handles_.emplace(name, std::move(handle)).first->second.get();
}

cairo_surface_t* SvgCache::Raster(const std::string& name, RsvgHandle* handle, int width, int height) {
    auto key = std::make_tuple(name, width, height);
    auto it = rasters_.find(key);
    if (it != rasters_.end()) return it->second.get();
    if (rasters_.size() >= kMaxRasters) rasters_.clear();
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    CairoPtr cr(cairo_create(surface.get()));
    const RsvgRectangle viewport{0, 0, double(width), double(height)};
    GError* error = nullptr;
    if (!rsvg_handle_render_document(handle, cr.get(), &viewport, &error)) {
        if (problems_) problems_("cannot draw the picture " + name + ": " + (error != nullptr ? error->message : "unknown error"));
        if (error != nullptr) g_error_free(error);
        handles_[name].reset();  // drawn as its look from now on, reported once
        return nullptr;
    }
    return rasters_.emplace(std::move(key), std::move(surface)).first->second.get();
}

bool SvgCache::Draw(cairo_t* cr, const std::string& name, const Box& box) {
    RsvgHandle* handle = Handle(name);
    if (handle == nullptr || box.width <= 0 || box.height <= 0) return handle != nullptr;
    // A vector target (a printed page) takes the drawing itself, so it stays sharp on paper.
    const cairo_surface_type_t target = cairo_surface_get_type(cairo_get_target(cr));
    if (target == CAIRO_SURFACE_TYPE_PDF || target == CAIRO_SURFACE_TYPE_RECORDING) {
        cairo_save(cr);
        cairo_rectangle(cr, box.x, box.y, box.width, box.height);
        cairo_clip(cr);
        const RsvgRectangle viewport{box.x, box.y, box.width, box.height};
        const bool drawn = rsvg_handle_render_document(handle, cr, &viewport, nullptr);
        cairo_restore(cr);
        return drawn;
    }
    // Rasterised at the device's scale, so a window that scales the stage up stays crisp.
    double sx = box.width, sy = box.height;
    cairo_user_to_device_distance(cr, &sx, &sy);
    const int width = std::clamp(static_cast<int>(std::ceil(std::fabs(sx))), 1, kMaxRasterSide);
    const int height = std::clamp(static_cast<int>(std::ceil(std::fabs(sy))), 1, kMaxRasterSide);
    cairo_surface_t* raster = Raster(name, handle, width, height);
    if (raster == nullptr) return false;
    cairo_save(cr);
    cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    cairo_clip(cr);
    cairo_translate(cr, box.x, box.y);
    cairo_scale(cr, box.width / width, box.height / height);
    cairo_set_source_surface(cr, raster, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
    return true;
}

std::optional<std::pair<double, double>> SvgCache::Size(const std::string& name) {
    RsvgHandle* handle = Handle(name);
    double width = 0;
    double height = 0;
    if (handle == nullptr || !rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) || width <= 0 ||
        height <= 0) {
        return std::nullopt;
    }
    return std::make_pair(width, height);
}

}  // namespace harbor
