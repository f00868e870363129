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

bool Writable(const fs::path& dir) { return ::access(dir.c_str(), W_OK | X_OK) == 0; }

std::string Reason(int error) { return std::strerror(error); }

// The nearest folder that exists above a missing path (the path itself when it exists).
fs::path NearestExisting(fs::path path, std::error_code& ec) {
    path = fs::absolute(path, ec).lexically_normal();
    std::error_code missing;  // set for a path that does not exist, which is what is asked
    while (!ec && !fs::exists(fs::symlink_status(path, missing)) && path.has_relative_path()) path = path.parent_path();
    return path;
}

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

std::string DataFolderProblem(const fs::path& dir) {
    if (dir.empty()) return "no data folder: HOME and XDG_DATA_HOME are unset; give --data DIR";
    std::error_code ec;
    const fs::path existing = NearestExisting(dir, ec);
    if (ec) return "the data folder " + dir.string() + " cannot be used: " + ec.message();
    if (!fs::is_directory(existing, ec)) {
        return existing == fs::absolute(dir).lexically_normal()
                   ? "the data folder " + dir.string() + " is not a folder"
                   : "the data folder " + dir.string() + " cannot be made: " + existing.string() + " is not a folder";
    }
    if (!Writable(existing)) {
        return "the data folder " + dir.string() + " cannot be used: " + existing.string() + ": " + Reason(errno);
    }
    return {};
}

std::string MakeDataFolder(const fs::path& dir) {
    if (std::string problem = DataFolderProblem(dir); !problem.empty()) return problem;
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return {};
    fs::create_directories(dir, ec);
    if (!ec) fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace, ec);
    // Pseudo file systems (/proc, /sys) pass the access check and refuse only here.
    if (ec) return "the data folder " + dir.string() + " cannot be made: " + ec.message();
    return {};
}

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
