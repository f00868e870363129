// Every scene definition of a content folder: one JSON file per scene in `scenes/`, and the
// common sprites of ScCoCommon.json added to each of the others.
#ifndef HARBOR_SCENE_SCENE_LIBRARY_H
#define HARBOR_SCENE_SCENE_LIBRARY_H

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "scene/scene_def.h"
#include "scene/scene_file.h"

namespace harbor {

inline constexpr const char* kCommonSceneFile = "ScCoCommon.json";

class SceneLibrary {
public:
    // Replaces the library with the scenes of `folder` (files in name order). Returns one message
    // per problem; whatever loaded stays usable. A scene's own sprite wins over a common sprite
    // of the same name.
    std::vector<std::string> Load(const std::filesystem::path& folder, const SceneFileLimits& limits = {});

    const SceneDef* Find(uint16_t scene_atom) const;
    const std::vector<std::shared_ptr<const SceneDef>>& Scenes() const { return scenes_; }
    // The common sprites as loaded (empty when the file is missing or broken).
    const std::vector<std::shared_ptr<const SpriteDef>>& CommonSprites() const { return common_; }

private:
    void LoadCommon(const std::filesystem::path& file, const SceneFileLimits& limits,
                    std::vector<std::string>& errors);
    void AddScene(SceneDef scene, std::vector<std::string>& errors);

    std::vector<std::shared_ptr<const SceneDef>> scenes_;
    std::vector<std::shared_ptr<const SpriteDef>> common_;
};

}  // namespace harbor

#endif
