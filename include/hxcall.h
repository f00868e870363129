/* Calling convention and export macros shared by the module, the messaging library and hosts. */
#ifndef WRENMAIL_HXCALL_H
#define WRENMAIL_HXCALL_H

/* The convention of every handler and host call. Empty on this platform; kept as one macro so a
 * port to a platform with several conventions changes one line. */
#define HXCALL

#if defined(__GNUC__)
#define HX_EXPORT __attribute__((visibility("default")))
#else
#define HX_EXPORT
#endif

#ifdef __cplusplus
#define HX_EXTERN_C extern "C"
#else
#define HX_EXTERN_C
#endif

#define HX_API HX_EXTERN_C HX_EXPORT

#endif
