// One harbor per data root. Every process that writes under a data root (the window, a script
// or the demo, and the account, import, server and recover commands) holds an exclusive lock on
// the root's lock file for as long as it runs; the file also names the holder (its pid and what
// it is), so that a second process can say who has the root. The lock is an flock on a file
// opened close-on-exec: the kernel drops it when the holder exits or is killed, so a crash never
// leaves a root locked.
#ifndef HARBOR_FILEIO_DATA_ROOT_LOCK_H
#define HARBOR_FILEIO_DATA_ROOT_LOCK_H

#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "fileio/file_names.h"
#include "fileio/unique_fd.h"

namespace harbor {

// How long a command waits for another harbor to finish with the root.
inline constexpr std::chrono::milliseconds kCommandLockWait{5000};
// harbor's exit status when another harbor holds the data root.
inline constexpr int kRootInUse = 3;

class DataRootLock {
public:
    DataRootLock() = default;

    // Takes the lock of `root` (which must exist) for `what` ("window", "account add", ...),
    // trying until `wait` has passed. Without it, `problem` says why: "the data folder R is in
    // use by another harbor (pid 123, window)", or that the lock file cannot be made; `in_use`
    // tells the first from the second.
    static std::optional<DataRootLock> Take(const std::filesystem::path& root, std::string_view what,
                                            std::chrono::milliseconds wait, std::string& problem, bool& in_use);

    bool Held() const { return fd_.Valid(); }

private:
    explicit DataRootLock(UniqueFd fd) : fd_(std::move(fd)) {}
    UniqueFd fd_;
};

// For a command: makes the data folder when missing, then takes its lock waiting up to
// kCommandLockWait. Empty when it cannot: the problem is written to `err` ("harbor: ...") and
// `status` is kRootInUse, or 2 when the folder cannot be used at all.
std::optional<DataRootLock> LockForCommand(const std::filesystem::path& root, std::string_view what, std::ostream& err,
                                           int& status);

}  // namespace harbor

#endif
