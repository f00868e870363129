// Shared pieces of the canvas tests: Harbor's fonts for canvases made directly, and pixels read
// back from a canvas's surface.
#ifndef WRENMAIL_TESTS_HARBOR_CANVAS_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_CANVAS_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include <cairo.h>

#include "render/font_config.h"
#include "render/text_system.h"

namespace canvas_test {

struct Colour {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Colour&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Colour& c) {
    return out << "rgba(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

inline constexpr Colour kWhite{255, 255, 255, 255};
inline constexpr Colour kBlack{0, 0, 0, 255};
inline constexpr Colour kRed{255, 0, 0, 255};
inline constexpr Colour kClear{0, 0, 0, 0};

// The pixel at (x, y) of an ARGB32 image surface, as stored (premultiplied).
inline Colour PixelAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t v = 0;
    std::memcpy(&v, row + 4 * x, 4);
    return {int((v >> 16) & 0xff), int((v >> 8) & 0xff), int(v & 0xff), int(v >> 24)};
}

// Harbor's fonts, loaded once, in a text system of the test's own.
inline const harbor::TextSystem& Fonts() {
    static const std::unique_ptr<harbor::TextSystem> text = [] {
        std::string error;
        EXPECT_TRUE(harbor::SetUpFonts(WRENMAIL_CONTENT_DIR, error)) << error;
        return std::make_unique<harbor::TextSystem>(harbor::HarborFontConfig());
    }();
    return *text;
}

}  // namespace canvas_test

#endif
