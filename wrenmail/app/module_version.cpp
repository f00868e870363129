// The module's version, exported so a host can name the module it actually loaded rather than
// the one it was built beside.
#include "wrenmail.h"

HX_API const char WrenmailModuleVersion[] = WRENMAIL_VERSION;
