#include "fileio/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "fileio/file_names.h"

namespace harbor {

namespace {

constexpr mode_t kFileMode = 0600;  // a family's mail: readable by its own user only

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool ReadAll(int fd, std::size_t size, std::string& out) {
    out.resize(size);
    std::size_t at = 0;
    while (at < size) {
        const ssize_t n = ::read(fd, out.data() + at, size - at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;  // the file shrank meanwhile: what was read is all there is
        at += static_cast<std::size_t>(n);
    }
    out.resize(at);
    return true;
}

void Stage(const WriteStageHook& hook, WriteStage stage) {
    if (hook) hook(stage);
}

// Writes and (when durable) flushes the temporary file; it is closed either way.
bool FillTemp(int dir, const std::string& temp, std::string_view bytes, bool durable, const WriteStageHook& hook,
              std::string& error) {
    UniqueFd fd(::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFileMode));
    if (!fd.Valid()) {
        error = SystemError("cannot create a temporary file");
        return false;
    }
    if (!WriteAll(fd.Get(), bytes)) {
        error = SystemError("cannot write the temporary file");
        return false;
    }
    Stage(hook, WriteStage::TempWritten);
    // fdatasync: the data and the size reach the disk; timestamps may wait.
    if (durable && ::fdatasync(fd.Get()) != 0) {
        error = SystemError("cannot flush the temporary file");
        return false;
    }
    return true;
}

}  // namespace

std::string SystemError(std::string_view doing) { return std::string(doing) + ": " + std::strerror(errno); }

namespace {

// The temporary file becomes `name`: over what has that name, or (without `replace`) only when
// nothing has it, which another process writing the same folder cannot race.
bool WriteAndPlace(int dir, const std::string& name, std::string_view bytes, bool durable, bool replace,
                   const WriteStageHook& hook, std::string& error, bool* taken = nullptr) {
    const std::string temp = NewTempName();
    if (!FillTemp(dir, temp, bytes, durable, hook, error)) {
        ::unlinkat(dir, temp.c_str(), 0);
        return false;
    }
    Stage(hook, WriteStage::TempSynced);
    const int placed = replace ? ::renameat(dir, temp.c_str(), dir, name.c_str())
                               : ::renameat2(dir, temp.c_str(), dir, name.c_str(), RENAME_NOREPLACE);
    if (placed != 0) {
        if (taken != nullptr) *taken = errno == EEXIST;
        error = errno == EEXIST ? std::string("the name is taken") : SystemError("cannot put the file in place");
        ::unlinkat(dir, temp.c_str(), 0);
        return false;
    }
    Stage(hook, WriteStage::Renamed);
    if (!durable) return true;
    if (::fsync(dir) != 0) {
        error = SystemError("cannot flush the directory");
        return false;
    }
    Stage(hook, WriteStage::DirSynced);
    return true;
}

}  // namespace

bool WriteAtomically(int dir, const std::string& name, std::string_view bytes, bool durable,
                     const WriteStageHook& hook, std::string& error) {
    return WriteAndPlace(dir, name, bytes, durable, true, hook, error);
}

bool WriteNewFile(int dir, const std::string& name, std::string_view bytes, bool durable, const WriteStageHook& hook,
                  std::string& error, bool& taken) {
    taken = false;
    return WriteAndPlace(dir, name, bytes, durable, false, hook, error, &taken);
}

bool OverwriteInPlace(int dir, const std::string& name, std::string_view bytes) {
    // Non-blocking and without O_TRUNC: a FIFO or a file of another size is left as it was.
    UniqueFd fd(::openat(dir, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 ||
        static_cast<unsigned long long>(st.st_size) != bytes.size()) {
        return false;
    }
    return ::pwrite(fd.Get(), bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size());
}

bool ReadRegularFile(int dir, const std::string& name, std::size_t limit, std::string& out, std::string& error) {
    // Non-blocking, so that a FIFO planted under the name cannot hold the service up.
    UniqueFd fd(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        error = errno == ELOOP ? std::string("a symbolic link: not followed") : SystemError("cannot open");
        return false;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        error = SystemError("cannot inspect");
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        error = "too large";
        return false;
    }
    if (!ReadAll(fd.Get(), static_cast<std::size_t>(st.st_size), out)) {
        error = SystemError("cannot read");
        return false;
    }
    return true;
}

UniqueFd OpenSubdirectory(int dir, const std::string& name) {
    return UniqueFd(::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

}  // namespace harbor
