/* The host messaging library: name atoms, ports, send and post, the clock, 32-bit references and
 * the registry of published data dictionary values. Every call runs on the host's one thread,
 * except HxRef/HxDeref and the atom calls, which may be called from any thread. */
#ifndef WRENMAIL_HXMSG_H
#define WRENMAIL_HXMSG_H

#include <stdbool.h>
#include <stdint.h>

#include "edict.h"
#include "host_value.h"
#include "hxcall.h"

typedef bool(HXCALL* HxHandler)(EDict* record);

/* Name atoms. Names are case-sensitive; an atom is never 0 for a non-null name (the empty name
 * has one too). A text DaNameGetString answers belongs to the library and lives as long as the
 * process. */
HX_API uint32_t DaNameGet(const char* name);
HX_API const char* DaNameGetString(uint16_t atom); /* null for an unknown atom */

/* Ports. A port's handlers run in attach order; a handler attached twice is called once.
 * Attaching or detaching during a delivery is safe: a handler detached mid-delivery is not
 * called afterwards, one attached mid-delivery receives the next record. */
HX_API bool HxPortAttach(uint16_t port, HxHandler handler);
HX_API bool HxPortDetach(uint16_t port, HxHandler handler);
/* Runs every handler before returning; true when some handler answered true. The record stays the
 * caller's: handlers may write answers into it and must not keep its address after returning. */
HX_API bool HxPortSend(uint16_t port, EDict* record);
/* Keeps a copy and delivers it once `delay` ms have passed (negative counts as 0). Posts due at
 * the same time are delivered in the order they were posted. Only the 392 bytes are copied: what
 * Text and Pointer values name must stay valid until the post is delivered or dropped. */
HX_API bool HxPortPost(uint16_t port, const EDict* record, int32_t delay);

/* Data dictionary values: PSGet answers the tree a host published under a name atom. Publishing
 * keeps the root's address, never a copy: the tree stays its publisher's and must stay valid
 * until it is withdrawn or replaced, which is as long as a PSGet answer may be read. */
HX_API const HostValue* PSGet(const HostValue* key);
HX_API bool HxPublishValue(uint16_t name, const HostValue* root);
HX_API bool HxWithdrawValue(uint16_t name);

/* 32-bit references for addresses: the same non-zero number for the same address, 0 for null.
 * A reference owns nothing and is never released: it is valid as long as the object it names,
 * and an object made later at the same address gets the same number. */
HX_API uint32_t HxRef(const void* address);
HX_API void* HxDeref(uint32_t reference);

/* The clock in milliseconds. Deterministic by default: time moves only through HxAdvanceTime. */
HX_API uint64_t HxNow(void);
HX_API void HxSetRealClock(bool real);
HX_API bool HxIsRealClock(void);
/* Deterministic clock: moves time by ms, delivering every post that falls due on the way, each at
 * its due time. Real clock: delivers what is due now (ms is ignored). */
HX_API void HxAdvanceTime(uint32_t ms);
/* Delivers every post that is due now, including posts with delay 0 made while delivering. */
HX_API void HxRunUntilIdle(void);
/* Delivery loops do not nest: called from a handler while one of the two calls above delivers,
 * HxRunUntilIdle returns at once (the running loop delivers what falls due) and HxAdvanceTime(ms)
 * makes the running loop go on to now + ms once the handler returns. */
/* Milliseconds until the next post falls due (0 when one is due), -1 when none is pending. */
HX_API int64_t HxTimeToNextPost(void);
HX_API uint32_t HxPendingPostCount(void);
/* Detaches every handler, drops every pending post, resets the deterministic clock to 0.
 * Atoms, references and published values stay. */
HX_API void HxReset(void);

/* Observation for tracing: called for each send (before its handlers), each post when it is
 * queued, and each post when it is delivered. The record is valid only during the call. */
enum HxTraceEvent { HxTraceSend = 0, HxTracePost = 1, HxTraceDeliver = 2 };
typedef void (*HxTraceHook)(int event, uint16_t port, const EDict* record, int32_t delay, void* user);
HX_API void HxSetTraceHook(HxTraceHook hook, void* user);

#endif
