#include "base/data_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

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

}  // namespace harbor
