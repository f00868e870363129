// The module's exported entry points whose behaviour has not landed yet answer "not consumed".
#include "wrenmail.h"

HX_API bool HXCALL PM_Main(EDict*) { return false; }
HX_API bool HXCALL PM_OrbitSignIn(EDict*) { return false; }
HX_API bool HXCALL PM_WrenmailMain(EDict*) { return false; }
HX_API bool HXCALL PM_WriteMessage(EDict*) { return false; }
HX_API bool HXCALL PM_ReadMessage(EDict*) { return false; }
HX_API bool HXCALL PM_AddressBook(EDict*) { return false; }
HX_API bool HXCALL PM_PrintMessage(EDict*) { return false; }
HX_API bool HXCALL PM_Connection(EDict*) { return false; }
HX_API bool HXCALL PM_ButtonDrawUp(EDict*) { return false; }
HX_API bool HXCALL PM_ButtonDrawDown(EDict*) { return false; }
