/* The 392-byte message record exchanged between the module and its host, and its functions.
 * The byte layout is an external format: little-endian, offsets relative to the record's start. */
#ifndef WRENMAIL_EDICT_H
#define WRENMAIL_EDICT_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "hxcall.h"

#define EDICT_SLOT_COUNT 32
#define EDICT_DATA_BEGIN 264
#define EDICT_SIZE 392

/* Value kinds; codes 6 and 8 are reserved and 9 is stored only through EDictPutType9. */
enum EDictValueType {
    EDictNone = 0,
    EDictLong = 1,
    EDictPointer = 2,
    EDictShort = 3,
    EDictText = 4,
    EDictHandle = 5,
    EDictReserved6 = 6,
    EDictFloat = 7,
    EDictReserved8 = 8,
    EDictType9 = 9
};

typedef struct EDictEntry {
    uint16_t key;    /* name atom; 0 marks a free slot */
    uint16_t type;   /* EDictValueType */
    uint16_t offset; /* from the start of the record, 264..391 */
    uint16_t size;   /* 2 or 4 */
} EDictEntry;

typedef struct EDict {
    uint16_t type;    /* message type code or action atom */
    uint16_t top;     /* first free byte of the data area */
    uint32_t time;    /* host time stamp */
    EDictEntry slots[EDICT_SLOT_COUNT];
    uint8_t data[EDICT_SIZE - EDICT_DATA_BEGIN];
} EDict;

#ifdef __cplusplus
static_assert(sizeof(EDict) == 392, "EDict is a 392-byte external format");
static_assert(offsetof(EDict, top) == 2 && offsetof(EDict, time) == 4, "EDict header layout");
static_assert(offsetof(EDict, slots) == 8 && offsetof(EDict, data) == 264, "EDict body layout");
static_assert(sizeof(EDictEntry) == 8, "EDictEntry is 8 bytes");
#else
_Static_assert(sizeof(EDict) == 392, "EDict is a 392-byte external format");
#endif

/* A slot whose offset or size would reach outside the record (or whose size is not 2 or 4) is
 * damaged: every function treats it as absent, so records from any host are read safely. */

HX_API void EDictClear(EDict* d);
HX_API void EDictSetType(EDict* d, uint16_t type);
HX_API uint16_t EDictGetType(const EDict* d);
HX_API uint32_t EDictGetTime(const EDict* d);
HX_API bool EDictHasKey(const EDict* d, uint16_t key);
HX_API bool EDictGetBool(const EDict* d, uint16_t key);
HX_API uint16_t EDictGetShort(const EDict* d, uint16_t key);
HX_API int32_t EDictGetLong(const EDict* d, uint16_t key);
HX_API float EDictGetFloat(const EDict* d, uint16_t key);
HX_API bool EDictPutBool(EDict* d, uint16_t key, bool value);
HX_API bool EDictPutLong(EDict* d, uint16_t key, int32_t value);
/* Pointer and Text puts store HxRef(address); HxDeref turns the stored number back. */
HX_API bool EDictPutPointer(EDict* d, uint16_t key, const void* address);
HX_API bool EDictPutShort(EDict* d, uint16_t key, uint16_t value);
HX_API bool EDictPutText(EDict* d, uint16_t key, const char* text);
HX_API bool EDictPutHandle(EDict* d, uint16_t key, uint32_t handle);
HX_API bool EDictPutFloat(EDict* d, uint16_t key, float value);
HX_API bool EDictPutType9(EDict* d, uint16_t key, uint32_t value);
HX_API bool EDictPutTyped(EDict* d, uint16_t key, uint32_t value, uint16_t type);
HX_API int32_t EDictKeyCount(const EDict* d);
HX_API uint16_t EDictKeyAt(const EDict* d, int32_t n, uint16_t* type);
HX_API bool EDictRemove(EDict* d, uint16_t key);

/* Typed conveniences: the address behind a Text or Pointer value (null when absent). The record
 * holds only the number: what it names belongs to whoever put it and is valid as long as they
 * keep it, which for answers from a service is stated by that service. */
HX_API const char* EDictGetText(const EDict* d, uint16_t key);
HX_API void* EDictGetPointer(const EDict* d, uint16_t key);

#endif
