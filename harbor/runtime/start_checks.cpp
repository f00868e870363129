#include "runtime/start_checks.h"

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include "datadict/data_dict_loader.h"

namespace harbor {

namespace {

namespace fs = std::filesystem;

std::string Reason(int error) { return std::strerror(error); }

// The first scene that scenes/required-sprites.txt names ("Scene: Sprite ...") and that has no
// scene file, or "". Without the list every scene is optional.
std::string MissingRequiredScene(const fs::path& scenes) {
    std::ifstream list(scenes / "required-sprites.txt");
    std::error_code ec;
    for (std::string line; std::getline(list, line);) {
        const std::size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
        const std::string scene = line.substr(0, colon);
        if (!fs::is_regular_file(scenes / (scene + ".json"), ec)) return scene;
    }
    return {};
}

}  // namespace

std::string ContentFolderProblem(const fs::path& dir) {
    std::error_code ec;
    const std::string where = "the content folder " + dir.string();
    if (!fs::exists(dir, ec)) return where + " does not exist";
    if (!fs::is_directory(dir, ec)) return where + " is not a folder";
    if (!fs::is_directory(dir / "scenes", ec)) return where + " has no scenes/ folder";
    bool any_scene = false;
    for (fs::directory_iterator it(dir / "scenes", ec), end; !ec && it != end; it.increment(ec)) {
        any_scene = any_scene || it->path().extension() == ".json";
    }
    if (ec) return where + ": cannot list scenes/: " + ec.message();
    if (!any_scene) return where + " has no scene files in scenes/";
    if (const std::string scene = MissingRequiredScene(dir / "scenes"); !scene.empty()) {
        return where + " has no scene file for " + scene + " (scenes/" + scene + ".json)";
    }
    // The default settings are optional, but damaged ones would leave the module half set up.
    if (fs::exists(dir / "WNSettings.dct", ec)) {
        if (DataDictResult settings = LoadDataDictFile(dir / "WNSettings.dct"); !settings) {
            return where + " has damaged default settings: " + settings.error;
        }
    }
    return {};
}

std::string ModuleFileProblem(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (!fs::exists(status)) return "cannot load the mail module " + file.string() + ": it does not exist";
    if (!fs::is_regular_file(status)) return "cannot load the mail module " + file.string() + ": not a file";
    return {};
}

std::string ScriptFileProblem(const fs::path& file) {
    std::error_code ec;
    const std::string where = "the script " + file.string();
    const fs::file_status status = fs::status(file, ec);
    if (!fs::exists(status)) return where + " does not exist";
    if (fs::is_directory(status)) return where + " is a folder, not a file";
    if (!fs::is_regular_file(status)) return where + " is not a regular file";
    if (::access(file.c_str(), R_OK) != 0) return where + " cannot be read: " + Reason(errno);
    return {};
}

}  // namespace harbor
