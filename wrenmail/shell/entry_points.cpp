// The module's exported entry points: PM_Main for the lifecycle, and one entry per screen port,
// which hands the record to the screen of its scene.
#include "messaging/name_atoms.h"
#include "shell/lifecycle.h"
#include "shell/screen_registry.h"
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

// Entry points of subsystems whose behaviour has not landed yet answer "not consumed".
HX_API bool HXCALL PM_PrintMessage(EDict*) { return false; }
HX_API bool HXCALL PM_Connection(EDict*) { return false; }
HX_API bool HXCALL PM_ButtonDrawUp(EDict*) { return false; }
HX_API bool HXCALL PM_ButtonDrawDown(EDict*) { return false; }
