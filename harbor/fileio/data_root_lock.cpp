#include "fileio/data_root_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "base/data_folder.h"

namespace harbor {

namespace {

constexpr std::chrono::milliseconds kRetryEvery{50};

// Who the lock file names as its holder: "pid 123, window", or "" when it names nobody yet.
std::string HolderOf(int fd) {
    char buffer[128] = {};
    const ssize_t got = ::pread(fd, buffer, sizeof buffer - 1, 0);
    if (got <= 0) return {};
    std::string text(buffer, static_cast<std::size_t>(got));
    if (const auto end = text.find('\n'); end != std::string::npos) text.resize(end);
    const auto space = text.find(' ');
    if (space == std::string::npos || space == 0) return {};
    for (std::size_t i = 0; i < space; ++i) {
        if (text[i] < '0' || text[i] > '9') return {};
    }
    return "pid " + text.substr(0, space) + ", " + text.substr(space + 1);
}

void WriteHolder(int fd, std::string_view what) {
    const std::string line = std::to_string(::getpid()) + " " + std::string(what) + "\n";
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size())) return;
    // The name is only for the message a second harbor gives; the lock holds without it.
}

}  // namespace

std::optional<DataRootLock> DataRootLock::Take(const std::filesystem::path& root, std::string_view what,
                                               std::chrono::milliseconds wait, std::string& problem, bool& in_use) {
    in_use = false;
    UniqueFd dir(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    UniqueFd fd;
    if (dir.Valid()) {
        fd = UniqueFd(::openat(dir.Get(), std::string(kLockFileName).c_str(),
                               O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    }
    if (!fd.Valid()) {
        problem = "the data folder " + root.string() + " cannot be locked: " + (root / kLockFileName).string() + ": " +
                  std::strerror(errno);
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
            const std::string holder = HolderOf(fd.Get());
            problem = "the data folder " + root.string() + " is in use by another harbor" +
                      (holder.empty() ? std::string() : " (" + holder + ")");
            in_use = true;
            return std::nullopt;
        }
        std::this_thread::sleep_for(kRetryEvery);
    }
    WriteHolder(fd.Get(), what);
    return DataRootLock(std::move(fd));
}

std::optional<DataRootLock> LockForCommand(const std::filesystem::path& root, std::string_view what, std::ostream& err,
                                           int& status) {
    status = 2;
    if (const std::string problem = MakeDataFolder(root); !problem.empty()) {
        err << "harbor: " << problem << "\n";
        return std::nullopt;
    }
    std::string problem;
    bool in_use = false;
    std::optional<DataRootLock> lock = DataRootLock::Take(root, what, kCommandLockWait, problem, in_use);
    if (in_use) status = kRootInUse;
    if (!lock) err << "harbor: " << what << ": " << problem << (in_use ? "; try again when it has finished" : "") << "\n";
    return lock;
}

}  // namespace harbor
