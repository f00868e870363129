// A frame of the scene painter against filling the same surface once with one colour: what the
// window pays every frame to repaint a whole scene of the real content.
#include <benchmark/benchmark.h>

#include <memory>

#include "hxmsg.h"
#include "render/scene_painter.h"
#include "runtime/locations.h"
#include "scene/scene_service.h"

namespace {

// A stage surface, possibly scaled up as a large window would paint it.
struct Stage {
    explicit Stage(int scale)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, harbor::kStageWidth * scale,
                                             harbor::kStageHeight * scale)),
          cr(cairo_create(surface.get())) {
        cairo_scale(cr.get(), scale, scale);
    }
    harbor::CairoSurfacePtr surface;
    harbor::CairoPtr cr;
};

// The real content with one scene entered.
struct Scenes {
    explicit Scenes(const char* scene) {
        HxReset();
        const std::filesystem::path content = harbor::FirstExisting(harbor::ContentCandidates(harbor::ExecutableDir()));
        service = std::make_unique<harbor::SceneService>(content);
        service->Load();
        service->Attach();
        service->ShowScene(static_cast<uint16_t>(DaNameGet(scene)));
        HxRunUntilIdle();
        painter = std::make_unique<harbor::ScenePainter>(content);
    }
    ~Scenes() {
        painter.reset();
        service.reset();
        HxReset();
    }
    std::unique_ptr<harbor::SceneService> service;
    std::unique_ptr<harbor::ScenePainter> painter;
};

void PaintFrames(benchmark::State& state, const char* scene, int scale) {
    Scenes scenes(scene);
    Stage stage(scale);
    uint64_t now = 0;
    for (auto _ : state) {
        scenes.painter->Paint(stage.cr.get(), *scenes.service, now += 16);
        cairo_surface_flush(stage.surface.get());
    }
}

void FillFrames(benchmark::State& state, int scale) {
    Stage stage(scale);
    for (auto _ : state) {
        cairo_set_source_rgb(stage.cr.get(), 1.0, 0.95, 0.77);
        cairo_paint(stage.cr.get());
        cairo_surface_flush(stage.surface.get());
    }
}

void BM_PaintMainScene(benchmark::State& state) { PaintFrames(state, "ScWnMain", 1); }
BENCHMARK(BM_PaintMainScene)->Unit(benchmark::kMicrosecond);

void BM_PaintMainScene_Baseline(benchmark::State& state) { FillFrames(state, 1); }
BENCHMARK(BM_PaintMainScene_Baseline)->Unit(benchmark::kMicrosecond);

void BM_PaintSignInScene(benchmark::State& state) { PaintFrames(state, "ScCsSignIn", 1); }
BENCHMARK(BM_PaintSignInScene)->Unit(benchmark::kMicrosecond);

void BM_PaintSignInScene_Baseline(benchmark::State& state) { FillFrames(state, 1); }
BENCHMARK(BM_PaintSignInScene_Baseline)->Unit(benchmark::kMicrosecond);

// A window of twice the stage's size paints the same scene at twice the pixels.
void BM_PaintMainSceneDouble(benchmark::State& state) { PaintFrames(state, "ScWnMain", 2); }
BENCHMARK(BM_PaintMainSceneDouble)->Unit(benchmark::kMicrosecond);

void BM_PaintMainSceneDouble_Baseline(benchmark::State& state) { FillFrames(state, 2); }
BENCHMARK(BM_PaintMainSceneDouble_Baseline)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
