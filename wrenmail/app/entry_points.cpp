// The module's exported entry points: PM_Main for the lifecycle, and one entry per screen port,
// which hands the record to the screen of its scene.
#include "controls/button.h"
#include "messaging/delivery_scope.h"
#include "messaging/name_atoms.h"
#include "screens/print_screen.h"
#include "app/lifecycle.h"
#include "screens/screen_registry.h"
#include "transport/connection_client.h"
#include "wrenmail.h"

#include <cstdio>
#include <exception>

namespace {

// No exception leaves the module through an entry point: the host may be C code that cannot
// unwind. It is reported on stderr and the record counts as not taken.
template <typename Body>
bool Guarded(const char* entry, Body body) noexcept {
    wm::DeliveryScope scope;
    try {
        return body();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wrenmail: %s failed: %s\n", entry, e.what());
    } catch (...) {
        std::fprintf(stderr, "wrenmail: %s failed\n", entry);
    }
    return false;
}

}  // namespace

HX_API bool HXCALL PM_Main(EDict* record) {
    Guarded("PM_Main", [record] {
        if (record != nullptr) {
            wm::HandleLifecycle(record);
        }
        return false;
    });
    return false;
}

HX_API bool HXCALL PM_OrbitSignIn(EDict* record) {
    return Guarded("PM_OrbitSignIn", [record] { return wm::RouteToScreen(atoms::ports::ScCsSignIn, record); });
}

HX_API bool HXCALL PM_WrenmailMain(EDict* record) {
    return Guarded("PM_WrenmailMain", [record] { return wm::RouteToScreen(atoms::ports::ScWnMain, record); });
}

HX_API bool HXCALL PM_WriteMessage(EDict* record) {
    return Guarded("PM_WriteMessage", [record] { return wm::RouteToScreen(atoms::ports::ScWrWrite, record); });
}

HX_API bool HXCALL PM_ReadMessage(EDict* record) {
    return Guarded("PM_ReadMessage", [record] { return wm::RouteToScreen(atoms::ports::ScRdRead, record); });
}

HX_API bool HXCALL PM_AddressBook(EDict* record) {
    return Guarded("PM_AddressBook", [record] { return wm::RouteToScreen(atoms::ports::ScAbAddress, record); });
}

// ConnectPort: the connection manager's notices. Every record counts as taken.
HX_API bool HXCALL PM_Connection(EDict* record) {
    Guarded("PM_Connection", [record] {
        if (record != nullptr) {
            wm::HandleConnectionNotice(record);
        }
        return true;
    });
    return true;
}

// Entry points of subsystems whose behaviour has not landed yet answer "not consumed".
// WNPrintPort and, while the print screen is active, TimerPortTick.
HX_API bool HXCALL PM_PrintMessage(EDict* record) {
    return Guarded("PM_PrintMessage", [record] { return record != nullptr && wm::HandlePrintMessage(record); });
}
HX_API bool HXCALL PM_ButtonDrawUp(EDict* record) {
    return Guarded("PM_ButtonDrawUp", [record] { return wm::PMButton::DrawUp(record); });
}
HX_API bool HXCALL PM_ButtonDrawDown(EDict* record) {
    return Guarded("PM_ButtonDrawDown", [record] { return wm::PMButton::DrawDown(record); });
}
