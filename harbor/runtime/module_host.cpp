#include "runtime/module_host.h"

#include <array>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "base/trace_log.h"

namespace harbor {

namespace {

// Every entry point the module exports (wrenmail.h).
constexpr std::array kEntryPoints = {
    "PM_Main",        "PM_OrbitSignIn", "PM_WrenmailMain", "PM_WriteMessage",
    "PM_ReadMessage", "PM_AddressBook", "PM_PrintMessage", "PM_Connection",
    "PostMessages",   "PM_ButtonDrawUp", "PM_ButtonDrawDown"};

// The ports the module attaches its entry points to. The tick handler is never detached by the
// module itself, and a port left pointing into an unloaded library would crash the next delivery.
constexpr std::array kModulePorts = {
    "PM",          "TimerPortTick", "TimerPortSeconds", "KeyboardPort",   "ConnectPort",
    "OrbitSignInPort", "WrenmailMainPort", "WritePort",  "ReadPort",       "AddressPort",
    "WNPrintPort", "ListCanvasPort", "ScrollCanvasPort", "PivotButtonCanvasPortUp",
    "PivotButtonCanvasPortDown"};

}  // namespace

ModuleHost::ModuleHost() : pm_port_(AtomOf("PM")) {}

ModuleHost::~ModuleHost() { Unload(); }

bool ModuleHost::Load(const std::filesystem::path& path, std::string& error) {
    if (library_ != nullptr) {
        error = "a mail module is already loaded: " + library_->Path().string();
        return false;
    }
    library_ = ModuleLibrary::Open(path, error);
    if (library_ == nullptr) return false;
    main_ = library_->Handler("PM_Main");
    return true;
}

bool ModuleHost::Start(const Identity& identity) {
    if (library_ == nullptr || running_) return false;
    HxPortAttach(pm_port_, main_);
    running_ = true;
    EDict record = StartMessage(identity);
    HxPortSend(pm_port_, &record);
    return true;
}

void ModuleHost::Stop() {
    if (!running_) return;
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kLeft);
    HxPortSend(pm_port_, &record);
    HxPortDetach(pm_port_, main_);
    running_ = false;
}

void ModuleHost::DetachEntryPoints() {
    for (const char* name : kEntryPoints) {
        HxHandler handler = library_->Handler(name);
        if (handler == nullptr) continue;
        for (const char* port : kModulePorts) HxPortDetach(AtomOf(port), handler);
    }
}

void ModuleHost::Unload() {
    if (library_ == nullptr) return;
    Stop();
    DetachEntryPoints();
    TraceNote("PM", "unloading " + library_->Path().string());
    library_.reset();
    main_ = nullptr;
}

}  // namespace harbor
