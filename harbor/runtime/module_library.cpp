#include "runtime/module_library.h"

#include <dlfcn.h>

#include <cstring>
#include <system_error>

namespace harbor {

namespace {

std::string LastDlError() {
    const char* text = dlerror();
    return text != nullptr ? text : "unknown error";
}

constexpr std::size_t kLongestVersion = 64;

}  // namespace

std::unique_ptr<ModuleLibrary> ModuleLibrary::Open(const std::filesystem::path& path, std::string& error) {
    const std::string prefix = "cannot load the mail module " + path.string() + ": ";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = prefix + (std::filesystem::exists(path, ec) ? "not a regular file" : "no such file");
        return nullptr;
    }
    dlerror();
    // RTLD_LOCAL keeps the module's symbols to itself; RTLD_NOW reports missing symbols here,
    // not in the middle of a session.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = prefix + LastDlError();
        return nullptr;
    }
    std::unique_ptr<ModuleLibrary> library(new ModuleLibrary(path, handle));
    if (library->Handler("PM_Main") == nullptr) {
        error = prefix + "it exports no PM_Main (" + LastDlError() + ")";
        return nullptr;
    }
    error.clear();
    return library;
}

ModuleLibrary::~ModuleLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* ModuleLibrary::Symbol(const char* name) const {
    dlerror();
    return dlsym(handle_, name);
}

HxHandler ModuleLibrary::Handler(const char* name) const {
    // POSIX guarantees that a data pointer from dlsym converts to a function pointer.
    return reinterpret_cast<HxHandler>(Symbol(name));
}

std::string ModuleLibrary::Version() const {
    const auto* text = static_cast<const char*>(Symbol("WrenmailModuleVersion"));
    if (text == nullptr) return "unknown";
    // The string is the module's: only a bounded stretch of it is read, and it must end inside.
    const void* end = std::memchr(text, '\0', kLongestVersion + 1);
    const std::size_t length = end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : 0;
    if (length == 0) return "unknown";
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] <= ' ' || text[i] > '~') return "unknown";
    }
    return std::string(text, length);
}

}  // namespace harbor
