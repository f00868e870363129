#include "mail/durable_dirs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "fileio/atomic_file.h"
#include "fileio/file_names.h"

namespace harbor {

namespace {

constexpr mode_t kDirMode = 0700;

// Calls `each(name, stat)` for every entry of `dir` but "." and "..".
template <typename Each>
void ForEachEntry(int dir, Each each) {
    const int copy = ::dup(dir);
    if (copy < 0) return;
    DIR* listing = ::fdopendir(copy);
    if (listing == nullptr) {
        ::close(copy);
        return;
    }
    ::rewinddir(listing);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) each(name, st);
    }
    ::closedir(listing);
}

}  // namespace

namespace {

// `path` below `root`, one level at a time from the root's own descriptor, never through a link.
UniqueFd OpenBelow(const std::filesystem::path& root, const std::filesystem::path& path, bool create, bool durable,
                   std::string& error) {
    const std::filesystem::path relative = path.lexically_normal().lexically_relative(root.lexically_normal());
    if (relative.empty() || (relative.begin() != relative.end() && *relative.begin() == "..")) {
        error = path.string() + " is not inside " + root.string();
        return UniqueFd();
    }
    if (create) {
        std::error_code ec;
        std::filesystem::create_directories(root, ec);
    }
    UniqueFd dir(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.Valid()) error = SystemError("cannot open " + root.string());
    for (const auto& part : relative) {
        const std::string name = part.string();
        if (!dir.Valid() || name == ".") continue;
        if (const char* why = RefusedName(name)) {
            error = path.string() + ": " + why;
            return UniqueFd();
        }
        if (create && ::mkdirat(dir.Get(), name.c_str(), kDirMode) == 0 && durable) ::fsync(dir.Get());
        UniqueFd next = OpenSubdirectory(dir.Get(), name);
        if (!next.Valid()) {
            error = errno == ELOOP || errno == ENOTDIR ? path.string() + ": " + name + " is not a folder (links are not followed)"
                                                       : SystemError("cannot open " + path.string());
        }
        dir = std::move(next);
    }
    return dir;
}

}  // namespace

UniqueFd OpenDirectory(const std::filesystem::path& path, const std::filesystem::path& root) {
    if (!root.empty()) {
        std::string ignored;
        return OpenBelow(root, path, false, false, ignored);
    }
    return UniqueFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

UniqueFd OpenOrCreateDirectory(const std::filesystem::path& path, bool durable, std::string& error,
                               const std::filesystem::path& root) {
    if (!root.empty()) return OpenBelow(root, path, true, durable, error);
    if (UniqueFd dir = OpenDirectory(path); dir.Valid()) return dir;
    const std::filesystem::path parent_path = path.parent_path();
    if (parent_path.empty() || parent_path == path) {
        error = SystemError("cannot open " + path.string());
        return UniqueFd();
    }
    UniqueFd parent = OpenOrCreateDirectory(parent_path, durable, error);
    if (!parent.Valid()) return parent;
    const std::string name = path.filename().string();
    if (::mkdirat(parent.Get(), name.c_str(), kDirMode) != 0 && errno != EEXIST) {
        error = SystemError("cannot create " + path.string());
        return UniqueFd();
    }
    if (durable) ::fsync(parent.Get());
    UniqueFd dir = OpenSubdirectory(parent.Get(), name);
    if (!dir.Valid()) error = SystemError("cannot open " + path.string());
    return dir;
}

std::vector<std::string> ListFiles(int dir) {
    std::vector<std::string> names;
    ForEachEntry(dir, [&](const std::string& name, const struct stat& st) {
        if (S_ISREG(st.st_mode) && !IsTempName(name)) names.push_back(name);
    });
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveFile(int dir, const std::string& name, bool durable) {
    if (::unlinkat(dir, name.c_str(), 0) != 0 && errno != ENOENT) return false;
    if (durable) ::fsync(dir);
    return true;
}

void RemoveStaleTemps(int dir) {
    const std::time_t now = std::time(nullptr);
    std::vector<std::string> stale;
    ForEachEntry(dir, [&](const std::string& name, const struct stat& st) {
        if (IsStaleTemp(name, static_cast<long long>(now - st.st_mtime))) stale.push_back(name);
    });
    for (const std::string& name : stale) ::unlinkat(dir, name.c_str(), 0);
}

}  // namespace harbor
