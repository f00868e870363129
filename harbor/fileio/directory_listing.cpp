#include "fileio/directory_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>
#include <memory>

#include "fileio/atomic_file.h"
#include "fileio/file_names.h"

namespace harbor {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};
using DirStream = std::unique_ptr<DIR, DirCloser>;

// A fresh open of the directory: its own read position, whatever else reads `dir`.
DirStream OpenStream(int dir) {
    const int fd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    DIR* stream = ::fdopendir(fd);
    if (stream == nullptr) ::close(fd);
    return DirStream(stream);
}

// Regular file or directory, asking the file system only when the entry does not say.
bool Listable(int dir, const dirent& entry) {
    if (entry.d_type == DT_REG || entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN) return false;
    struct stat st {};
    if (::fstatat(dir, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    return S_ISREG(st.st_mode) || S_ISDIR(st.st_mode);
}

bool RemoveIfStale(int dir, const char* name) {
    struct stat st {};
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) return false;
    const long long age = static_cast<long long>(std::time(nullptr)) - static_cast<long long>(st.st_mtime);
    return IsStaleTemp(name, age) && ::unlinkat(dir, name, 0) == 0;
}

}  // namespace

bool DirectoryListing::Take(int dir, std::string& error) {
    names_.clear();
    offsets_.clear();
    cleaned_ = 0;
    DirStream stream = OpenStream(dir);
    if (!stream) {
        error = SystemError("cannot list the directory");
        return false;
    }
    while (const dirent* entry = ::readdir(stream.get())) {
        if (IsTempName(entry->d_name)) {
            if (RemoveIfStale(dir, entry->d_name)) ++cleaned_;
        } else if (RefusedName(entry->d_name) == nullptr && Listable(dir, *entry)) {
            Add(entry->d_name);
        }
    }
    const char* base = names_.data();
    std::sort(offsets_.begin(), offsets_.end(),
              [base](uint32_t a, uint32_t b) { return std::strcmp(base + a, base + b) < 0; });
    return true;
}

void DirectoryListing::Add(const char* name) {
    if (names_.size() > std::numeric_limits<uint32_t>::max() - 256) return;  // 16 million names or so: enough
    offsets_.push_back(static_cast<uint32_t>(names_.size()));
    names_.append(name);
    names_.push_back('\0');
}

const char* DirectoryListing::NameAt(int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= offsets_.size()) return nullptr;
    return names_.data() + offsets_[static_cast<std::size_t>(index)];
}

}  // namespace harbor
