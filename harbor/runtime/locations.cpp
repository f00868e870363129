#include "runtime/locations.h"

#include <cstdlib>
#include <system_error>

namespace harbor {

namespace {

std::filesystem::path FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

std::filesystem::path ExecutableDir() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

std::vector<std::filesystem::path> ModuleCandidates(const std::filesystem::path& exe_dir) {
    return {
        exe_dir / ".." / HARBOR_INSTALL_LIBDIR / "libwrenmail.so",
        exe_dir / ".." / "lib" / "libwrenmail.so",
        exe_dir / ".." / "wrenmail" / "libwrenmail.so",  // build tree: build/harbor/harbor
    };
}

std::vector<std::filesystem::path> ContentCandidates(const std::filesystem::path& exe_dir) {
    return {
        exe_dir / ".." / HARBOR_INSTALL_DATADIR / "wrenmail" / "content",
        exe_dir / ".." / ".." / "content",  // a build folder inside the source tree
        std::filesystem::path(HARBOR_SOURCE_CONTENT_DIR),
    };
}

std::filesystem::path FirstExisting(const std::vector<std::filesystem::path>& candidates) {
    for (const auto& path : candidates) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) return path.lexically_normal();
    }
    return candidates.empty() ? std::filesystem::path() : candidates.front().lexically_normal();
}

std::filesystem::path DefaultDataDir() {
    if (auto xdg = FromEnvironment("XDG_DATA_HOME"); !xdg.empty()) return xdg / "wrenmail";
    if (auto home = FromEnvironment("HOME"); !home.empty()) return home / ".local" / "share" / "wrenmail";
    return {};
}

}  // namespace harbor
