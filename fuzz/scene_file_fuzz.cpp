// Drives the scene file parser over arbitrary text, then puts what it accepted to work: a live
// scene made from it is hit-tested and painted in order. Every message must name the source.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "scene/scene_file.h"
#include "scene/scene_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    harbor::SceneFileResult result = harbor::ParseSceneFile(text, "fuzz.json", size % 2 == 0);
    for (const std::string& error : result.errors) {
        if (error.rfind("fuzz.json", 0) != 0) std::abort();
    }
    if (!result.scene) return 0;
    harbor::SceneState state(std::make_shared<const harbor::SceneDef>(std::move(*result.scene)));
    for (const auto& sprite : state.Sprites()) {
        (void)state.HitTest(sprite->rect.x, sprite->rect.y);
        (void)sprite->DisplayText();
    }
    (void)state.PaintOrder();
    (void)state.HitTest(-1, 480);
    return 0;
}
