// The mail module as a loaded shared library: opened with dlopen, its entry points found by name,
// closed when this object goes.
#ifndef HARBOR_RUNTIME_MODULE_LIBRARY_H
#define HARBOR_RUNTIME_MODULE_LIBRARY_H

#include <filesystem>
#include <memory>
#include <string>

#include "hxmsg.h"

namespace harbor {

class ModuleLibrary {
public:
    // Null with `error` set ("cannot load the mail module PATH: WHY") when the file is missing,
    // is not a loadable library, or has no PM_Main.
    static std::unique_ptr<ModuleLibrary> Open(const std::filesystem::path& path, std::string& error);

    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // An exported symbol, null when the module has none by that name.
    void* Symbol(const char* name) const;
    // An exported entry point (every entry point is an HxHandler), null when absent.
    HxHandler Handler(const char* name) const;
    // The version string the module exports as WrenmailModuleVersion; "unknown" when it has none
    // or what it exports is not a short line of printable text.
    std::string Version() const;

private:
    ModuleLibrary(std::filesystem::path path, void* handle) : path_(std::move(path)), handle_(handle) {}

    std::filesystem::path path_;
    void* handle_;
};

}  // namespace harbor

#endif
