// What every Harbor test needs: atoms and records as the module builds them, a scratch folder
// removed with its test, and whole files written and read back.
#ifndef WRENMAIL_TESTS_SUPPORT_HARBOR_TEST_SUPPORT_H
#define WRENMAIL_TESTS_SUPPORT_HARBOR_TEST_SUPPORT_H

#include <stdlib.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "edict.h"
#include "hxmsg.h"

namespace harbor_test {

inline uint16_t A(const char* name) { return static_cast<uint16_t>(DaNameGet(name)); }

inline EDict Record(uint16_t type) {
    EDict d;
    EDictClear(&d);
    EDictSetType(&d, type);
    return d;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "harbor-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes `text` as the whole file, making its folders first.
inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream(path, std::ios::binary) << text;
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// A shell command's exit status (-1 when it could not run or did not exit) and its standard output.
struct CommandRun {
    int status = -1;
    std::string output;
};

inline CommandRun RunCommand(const std::string& command) {
    CommandRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) run.output += chunk;
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace harbor_test

#endif
