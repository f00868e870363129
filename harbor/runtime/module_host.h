// The module's life inside Harbor: load, start (30032 to PM with the identity), stop (30041),
// unload.
#ifndef HARBOR_RUNTIME_MODULE_HOST_H
#define HARBOR_RUNTIME_MODULE_HOST_H

#include <filesystem>
#include <memory>
#include <string>

#include "edict.h"
#include "base/identity.h"
#include "runtime/module_library.h"

namespace harbor {

class ModuleHost {
public:
    ModuleHost();
    ~ModuleHost();  // stops and unloads
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    bool Load(const std::filesystem::path& path, std::string& error);
    bool Loaded() const { return library_ != nullptr; }
    bool Running() const { return running_; }
    const ModuleLibrary* Library() const { return library_.get(); }

    // Attaches PM_Main to PM and sends the start message; false when not loaded or running.
    bool Start(const Identity& identity);
    // Sends 30041 to PM and detaches PM_Main. Nothing when not running.
    void Stop();
    // Stops, detaches every entry point from the ports the module may have left it on, and
    // closes the library.
    void Unload();

private:
    void DetachEntryPoints();

    std::unique_ptr<ModuleLibrary> library_;
    HxHandler main_ = nullptr;
    bool running_ = false;
    uint16_t pm_port_;
};

}  // namespace harbor

#endif
