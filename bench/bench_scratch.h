// Scratch folders for benchmarks that write to disk: one folder per process, removed at exit.
#ifndef WRENMAIL_BENCH_SCRATCH_H
#define WRENMAIL_BENCH_SCRATCH_H

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace bench {

class Scratch {
public:
    explicit Scratch(const std::string& prefix)
        : root_(std::filesystem::temp_directory_path() / (prefix + std::to_string(getpid()))) {
        std::filesystem::create_directories(root_);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // A new, empty folder whose name starts with `name`.
    std::filesystem::path Fresh(const std::string& name) {
        const std::filesystem::path dir = root_ / (name + std::to_string(++made_));
        std::filesystem::create_directories(dir);
        return dir;
    }

private:
    std::filesystem::path root_;
    int made_ = 0;
};

}  // namespace bench

#endif
