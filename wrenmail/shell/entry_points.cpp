// The module's exported entry points: PM_Main for the lifecycle, and one entry per screen port,
// which hands the record to the screen of its scene.
#include "controls/button.h"
#include "messaging/name_atoms.h"
#include "shell/lifecycle.h"
#include "shell/screen_registry.h"
#include "transport/connection_client.h"
#include "wrenmail.h"

HX_API bool HXCALL PM_Main(EDict* record) {
    if (record != nullptr) {
        wm::HandleLifecycle(record);
    }
    return false;
}

HX_API bool HXCALL PM_OrbitSignIn(EDict* record) {
    return wm::RouteToScreen(atoms::ports::ScCsSignIn, record);
}

HX_API bool HXCALL PM_WrenmailMain(EDict* record) {
    return wm::RouteToScreen(atoms::ports::ScWnMain, record);
}

HX_API bool HXCALL PM_WriteMessage(EDict* record) {
    return wm::RouteToScreen(atoms::ports::ScWrWrite, record);
}

HX_API bool HXCALL PM_ReadMessage(EDict* record) {
    return wm::RouteToScreen(atoms::ports::ScRdRead, record);
}

HX_API bool HXCALL PM_AddressBook(EDict* record) {
    return wm::RouteToScreen(atoms::ports::ScAbAddress, record);
}

// ConnectPort: the connection manager's notices. Every record counts as taken.
HX_API bool HXCALL PM_Connection(EDict* record) {
    if (record != nullptr) {
        wm::HandleConnectionNotice(record);
    }
    return true;
}

// Entry points of subsystems whose behaviour has not landed yet answer "not consumed".
HX_API bool HXCALL PM_PrintMessage(EDict*) { return false; }
HX_API bool HXCALL PM_ButtonDrawUp(EDict* record) { return wm::PMButton::DrawUp(record); }
HX_API bool HXCALL PM_ButtonDrawDown(EDict* record) { return wm::PMButton::DrawDown(record); }
