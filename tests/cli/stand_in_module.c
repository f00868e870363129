/* A stand-in mail module for the --version test: it has the one entry point harbor requires, and
 * exports a version only when built with STAND_IN_VERSION. */
#include "wrenmail.h"

HX_API bool HXCALL PM_Main(EDict* record) {
    (void)record;
    return false;
}

#ifdef STAND_IN_VERSION
HX_API const char WrenmailModuleVersion[] = STAND_IN_VERSION;
#endif
