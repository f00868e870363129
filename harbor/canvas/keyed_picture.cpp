#include "canvas/keyed_picture.h"

#include <cstring>

namespace harbor {

namespace {

constexpr uint32_t kColourMask = 0x00FFFFFFu;
constexpr uint32_t kOpaque = 0xFF000000u;

uint32_t Packed(Rgb c) { return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | uint32_t{c.blue}; }

void KeyRow(const unsigned char* from, unsigned char* to, int width, uint32_t key) {
    for (int x = 0; x < width; ++x) {
        uint32_t pixel = 0;
        std::memcpy(&pixel, from + 4 * x, 4);
        const uint32_t colour = pixel & kColourMask;
        const uint32_t out = colour == key ? 0u : (colour | kOpaque);
        std::memcpy(to + 4 * x, &out, 4);
    }
}

}  // namespace

CairoSurfacePtr KeyedPicture(cairo_surface_t* image, Rgb transparent) {
    if (image == nullptr || cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
    const cairo_format_t format = cairo_image_surface_get_format(image);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return nullptr;
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    CairoSurfacePtr keyed(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(keyed.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    const unsigned char* from = cairo_image_surface_get_data(image);
    unsigned char* to = cairo_image_surface_get_data(keyed.get());
    const int from_stride = cairo_image_surface_get_stride(image);
    const int to_stride = cairo_image_surface_get_stride(keyed.get());
    for (int y = 0; y < height; ++y) KeyRow(from + y * from_stride, to + y * to_stride, width, Packed(transparent));
    cairo_surface_mark_dirty(keyed.get());
    return keyed;
}

}  // namespace harbor
