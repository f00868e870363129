/* The module's exported entry points. A host attaches them to ports (PM_Main to "PM", the screen
 * entries to their screen ports) or calls them directly, one message record per call.
 *
 * Ownership: the record stays the caller's. The module reads it, may write answer keys into it
 * during the call, and keeps no pointer to it afterwards; what it needs later it copies. */
#ifndef WRENMAIL_WRENMAIL_H
#define WRENMAIL_WRENMAIL_H

#include <stdbool.h>

#include "edict.h"
#include "hxcall.h"

HX_API bool HXCALL PM_Main(EDict* record);          /* lifecycle: start, stop, mail actions */
HX_API bool HXCALL PM_OrbitSignIn(EDict* record);   /* sign-in scene */
HX_API bool HXCALL PM_WrenmailMain(EDict* record);  /* main mailbox scene */
HX_API bool HXCALL PM_WriteMessage(EDict* record);  /* write scene */
HX_API bool HXCALL PM_ReadMessage(EDict* record);   /* read scene */
HX_API bool HXCALL PM_AddressBook(EDict* record);   /* address book scene */
HX_API bool HXCALL PM_PrintMessage(EDict* record);  /* print scene */
HX_API bool HXCALL PM_Connection(EDict* record);    /* connection manager notices */
HX_API bool HXCALL PostMessages(EDict* record);     /* timer tick: releases tick-delayed posts */
HX_API bool HXCALL PM_ButtonDrawUp(EDict* record);  /* draws a painted button's up look */
HX_API bool HXCALL PM_ButtonDrawDown(EDict* record);/* draws a painted button's down look */

/* The module's version, for example "0.1.0": a NUL-terminated string a host may look up by name
 * after loading the module, to say which module it runs. A module without it is of unknown version. */
#ifdef __cplusplus
extern "C" {
#endif
HX_EXPORT extern const char WrenmailModuleVersion[];
#ifdef __cplusplus
}
#endif

#endif
