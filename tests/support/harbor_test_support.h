// What every Harbor test needs: atoms and records as the module builds them, a scratch folder
// removed with its test, and whole files written and read back.
#ifndef WRENMAIL_TESTS_SUPPORT_HARBOR_TEST_SUPPORT_H
#define WRENMAIL_TESTS_SUPPORT_HARBOR_TEST_SUPPORT_H

#include <cstdint>
#include <filesystem>
#include <string>

#include "edict.h"
#include "hxmsg.h"

namespace harbor_test {

uint16_t A(const char* name);
EDict Record(uint16_t type);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes `text` as the whole file, making its folders first.
void WriteFile(const std::filesystem::path& path, const std::string& text);
// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace harbor_test

#endif
