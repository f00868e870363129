#include "fileio/file_handles.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fileio/atomic_file.h"

namespace harbor {

uint32_t FileHandleTable::Open(UniqueFd root) {
    while (next_ == 0 || handles_.contains(next_)) ++next_;  // 0 means "no handle"
    const uint32_t handle = next_++;
    auto state = std::make_unique<FileHandle>();
    state->dir = std::move(root);
    handles_.emplace(handle, std::move(state));
    return handle;
}

FileHandle* FileHandleTable::Find(uint32_t handle) {
    auto it = handles_.find(handle);
    return it != handles_.end() ? it->second.get() : nullptr;
}

bool FileHandleTable::Close(uint32_t handle) { return handles_.erase(handle) > 0; }

UniqueFd OpenPath(int root, const std::vector<std::string>& path) {
    UniqueFd dir(::fcntl(root, F_DUPFD_CLOEXEC, 0));
    for (const std::string& name : path) {
        if (!dir.Valid()) break;
        dir = OpenSubdirectory(dir.Get(), name);
    }
    return dir;
}

std::string FirstSpelling(int dir, const std::string& name) {
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return name;
    const int copy = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (listing == nullptr) {
        if (copy >= 0) ::close(copy);
        return name;
    }
    std::string found;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string candidate = entry->d_name;
        if (candidate.size() == name.size() && ::strcasecmp(candidate.c_str(), name.c_str()) == 0 &&
            (found.empty() || candidate < found)) {
            found = candidate;
        }
    }
    ::closedir(listing);
    return found.empty() ? name : found;
}

}  // namespace harbor
