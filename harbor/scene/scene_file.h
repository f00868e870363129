// The JSON text of one scene file turned into a SceneDef. Damaged or hostile text gives error
// messages naming the source (and line and column for syntax errors), never an exception or a
// crash. A sprite with a bad field is dropped alone; a bad scene-level field drops the scene.
#ifndef HARBOR_SCENE_SCENE_FILE_H
#define HARBOR_SCENE_SCENE_FILE_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene_def.h"

namespace harbor {

struct SceneFileLimits {
    std::size_t max_bytes = std::size_t{4} * 1024 * 1024;
    std::size_t max_depth = 64;      // nested arrays and objects (looks can nest)
    std::size_t max_sprites = 2048;  // sprite names become atoms, which are 16-bit and process-wide
};

struct SceneFileResult {
    std::optional<SceneDef> scene;    // set when the scene loaded, possibly without some sprites
    std::vector<std::string> errors;  // each starts with the source name
};

// `common` parses the common sprites' file, which needs no event port.
SceneFileResult ParseSceneFile(std::string_view text, std::string_view source, bool common = false,
                               const SceneFileLimits& limits = {});

}  // namespace harbor

#endif
