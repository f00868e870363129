#include "harbor_test_support.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include "hxmsg.h"

namespace harbor_test {

uint16_t A(const char* name) { return static_cast<uint16_t>(DaNameGet(name)); }

EDict Record(uint16_t type) {
    EDict d;
    EDictClear(&d);
    EDictSetType(&d, type);
    return d;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "harbor-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace harbor_test
