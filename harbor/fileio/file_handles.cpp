#include "fileio/file_handles.h"

#include <fcntl.h>

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

}  // namespace harbor
