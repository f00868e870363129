#include "scene/scene_library.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace harbor {

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> SceneFiles(const fs::path& folder, std::vector<std::string>& errors) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        errors.push_back(folder.string() + ": cannot read the scene folder: " + ec.message());
        return files;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const fs::path& p = it->path();
        if (p.extension() == ".json") files.push_back(p);
    }
    if (ec) errors.push_back(folder.string() + ": listing stopped: " + ec.message());
    std::sort(files.begin(), files.end());
    return files;
}

// The file's text, or nothing with a message; the size is checked before anything is read.
std::optional<std::string> ReadFile(const fs::path& file, std::size_t max_bytes,
                                    std::vector<std::string>& errors) {
    std::error_code ec;
    const bool regular = fs::is_regular_file(file, ec);
    const std::uintmax_t size = regular ? fs::file_size(file, ec) : 0;
    if (!regular || ec) {
        errors.push_back(file.string() + ": not a readable file");
        return std::nullopt;
    }
    if (size > max_bytes) {
        errors.push_back(file.string() + ": larger than " + std::to_string(max_bytes) + " bytes");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        errors.push_back(file.string() + ": cannot be read");
        return std::nullopt;
    }
    return std::move(text).str();
}

SceneFileResult ParseFile(const fs::path& file, bool common, const SceneFileLimits& limits,
                          std::vector<std::string>& errors) {
    std::optional<std::string> text = ReadFile(file, limits.max_bytes, errors);
    if (!text) return {};
    SceneFileResult result = ParseSceneFile(*text, file.string(), common, limits);
    errors.insert(errors.end(), result.errors.begin(), result.errors.end());
    return result;
}

}  // namespace

std::vector<std::string> SceneLibrary::Load(const fs::path& folder, const SceneFileLimits& limits) {
    scenes_.clear();
    common_.clear();
    std::vector<std::string> errors;
    const std::vector<fs::path> files = SceneFiles(folder, errors);
    const auto common = std::find_if(files.begin(), files.end(),
                                     [](const fs::path& p) { return p.filename() == kCommonSceneFile; });
    if (common != files.end()) {
        LoadCommon(*common, limits, errors);
    } else if (!files.empty()) {
        errors.push_back((folder / kCommonSceneFile).string() + ": missing; scenes have no common sprites");
    }
    for (const fs::path& file : files) {
        if (file.filename() == kCommonSceneFile) continue;
        SceneFileResult result = ParseFile(file, false, limits, errors);
        if (result.scene) AddScene(std::move(*result.scene), errors);
    }
    return errors;
}

const SceneDef* SceneLibrary::Find(uint16_t scene_atom) const {
    for (const auto& s : scenes_) {
        if (s->atom == scene_atom) return s.get();
    }
    return nullptr;
}

void SceneLibrary::LoadCommon(const fs::path& file, const SceneFileLimits& limits,
                              std::vector<std::string>& errors) {
    SceneFileResult result = ParseFile(file, true, limits, errors);
    if (result.scene) common_ = std::move(result.scene->sprites);
}

void SceneLibrary::AddScene(SceneDef scene, std::vector<std::string>& errors) {
    if (Find(scene.atom) != nullptr) {
        errors.push_back(scene.source + ": scene '" + scene.name + "' is already loaded; file ignored");
        return;
    }
    for (const auto& sprite : common_) {
        if (scene.Find(sprite->atom) == nullptr) scene.sprites.push_back(sprite);
    }
    scenes_.push_back(std::make_shared<const SceneDef>(std::move(scene)));
}

}  // namespace harbor
