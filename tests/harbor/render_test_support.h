// Shared pieces of the painter tests: the scene tests' content folder and service with a painter
// over them, and pixels read back from a painted 640 by 480 image.
#ifndef WRENMAIL_TESTS_HARBOR_RENDER_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_RENDER_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "harbor_test_support.h"
#include "hxmsg.h"
#include "render/scene_painter.h"
#include "scene/scene_service.h"
#include "scene_test_support.h"

namespace render_test {

using harbor_test::A;

struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Pixel&) const = default;
    int Brightness() const { return r + g + b; }
};

inline std::ostream& operator<<(std::ostream& out, const Pixel& p) {
    return out << "rgba(" << p.r << "," << p.g << "," << p.b << "," << p.a << ")";
}

inline constexpr Pixel Rgb(int r, int g, int b) { return {r, g, b, 255}; }

// Pixels to check alike, as (x, y).
using Points = std::initializer_list<std::pair<int, int>>;

// The pixel at (x, y) of an ARGB32 image surface, unpremultiplied.
inline Pixel PixelAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
    uint32_t v = 0;
    std::memcpy(&v, row + 4 * x, 4);
    Pixel p{int((v >> 16) & 0xff), int((v >> 8) & 0xff), int(v & 0xff), int(v >> 24)};
    if (p.a != 0 && p.a != 255) {
        p.r = p.r * 255 / p.a;
        p.g = p.g * 255 / p.a;
        p.b = p.b * 255 / p.a;
    }
    return p;
}

// A painted stage; pixels come back unpremultiplied.
class Image {
public:
    Image() : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, harbor::kStageWidth, harbor::kStageHeight)) {}
    explicit Image(cairo_surface_t* adopted) : surface_(adopted) {}

    cairo_surface_t* Surface() const { return surface_.get(); }

    Pixel At(int x, int y) const { return PixelAt(surface_.get(), x, y); }

    // Pixels in [x, x+w) by [y, y+h) darker than `limit` (sum of the channels).
    int DarkPixels(int x, int y, int w, int h, int limit = 300) const {
        int count = 0;
        for (const Pixel& p : Region(x, y, w, h)) count += p.Brightness() < limit ? 1 : 0;
        return count;
    }

    // The pixels of one region, row by row, to compare two regions.
    std::vector<Pixel> Region(int x, int y, int w, int h) const {
        std::vector<Pixel> out;
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) out.push_back(At(i, j));
        }
        return out;
    }

private:
    harbor::CairoSurfacePtr surface_;
};

// A content folder of the test's own scenes (ScRtTest and what a test adds), a service that has
// them loaded, and a painter.
class PainterTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::filesystem::create_directories(dir_ / "art");
        Write("ScCoCommon.json", R"({"scene": "ScCoCommon", "sprites": []})");
    }

    void TearDown() override {
        painter_.reset();
        SceneTest::TearDown();
    }

    // One scene named ScRtTest with a white background and these sprites (a JSON list body).
    void WriteScene(const std::string& sprites, const std::string& background = R"({"fill": "#ffffff"})") {
        Write("ScRtTest.json", R"({"scene": "ScRtTest", "eventPort": "RtPort", "background": )" + background +
                                   R"(, "sprites": [)" + sprites + "]}");
    }

    // Loads the folder and enters `scene`; every scene file must load cleanly.
    void Enter(const char* scene = "ScRtTest") {
        const std::vector<std::string> errors = Start();
        ASSERT_TRUE(errors.empty()) << errors.front();
        ASSERT_TRUE(service_->ShowScene(A(scene)));
        HxRunUntilIdle();
    }

    harbor::ScenePainter& Painter() {
        if (!painter_) {
            painter_ = std::make_unique<harbor::ScenePainter>(dir_);
            painter_->SetProblemSink([this](const std::string& p) { problems_.push_back(p); });
        }
        return *painter_;
    }

    Image Paint(uint64_t now_ms = 0) {
        Image image;
        harbor::CairoPtr cr(cairo_create(image.Surface()));
        Painter().Paint(cr.get(), *service_, now_ms);
        return image;
    }

    std::unique_ptr<harbor::ScenePainter> painter_;
    std::vector<std::string> problems_;
};

}  // namespace render_test

#endif
