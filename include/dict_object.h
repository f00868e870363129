/* The dictionary object interface shared by the module and the host's file service.
 * The order of the virtual operations is part of the ABI: never reorder or insert.
 *
 * Ownership:
 * - An object handed to the file service with a write (under "DICT") stays its maker's: the
 *   service reads it during that request and keeps nothing.
 * - The object the file service answers a read with belongs to the service, one per file-service
 *   handle, until that handle is closed; the next read on the handle refills it. Nobody else
 *   deletes it, and FreeChain on it does nothing.
 * - FreeChain frees the records an object allocated beyond its first; the object itself stays.
 * - Values are numbers: PutPointer and PutText store HxRef of the address, never owning it. The
 *   module's objects keep the caller's text, which must outlive every read of the key; the file
 *   service's objects copy it. A text GetText answers from the service's object holds until the
 *   next read on its handle, Clear, or a put or remove of that key. */
#ifndef WRENMAIL_DICT_OBJECT_H
#define WRENMAIL_DICT_OBJECT_H

#include <stdint.h>

#include "hxcall.h"

class DictInterface {
public:
    virtual bool HXCALL Clear() = 0;
    virtual void HXCALL FreeChain() = 0;
    virtual bool HXCALL GetBool(uint16_t key) = 0;
    virtual uint32_t HXCALL GetPointer(uint16_t key) = 0;
    virtual int32_t HXCALL GetLong(uint16_t key) = 0;
    virtual uint16_t HXCALL GetShort(uint16_t key) = 0;
    virtual uint32_t HXCALL GetText(uint16_t key) = 0; /* a reference: HxDeref gives the text */
    virtual uint32_t HXCALL GetHandle(uint16_t key) = 0;
    virtual bool HXCALL PutBool(uint16_t key, bool value) = 0;
    virtual bool HXCALL PutPointer(uint16_t key, const void* address) = 0;
    virtual bool HXCALL PutLong(uint16_t key, int32_t value) = 0;
    virtual bool HXCALL PutShort(uint16_t key, uint16_t value) = 0;
    virtual bool HXCALL PutText(uint16_t key, const char* text) = 0;
    virtual bool HXCALL PutHandle(uint16_t key, uint32_t handle) = 0;
    virtual int32_t HXCALL KeyCount() = 0;
    virtual bool HXCALL HasKey(uint16_t key) = 0;
    virtual bool HXCALL Remove(uint16_t key) = 0;
    virtual uint16_t HXCALL KeyAt(int32_t n, uint16_t* type) = 0;
    virtual uint32_t HXCALL GetType9(uint16_t key) = 0;
    virtual bool HXCALL PutType9(uint16_t key, uint32_t value) = 0;
    virtual ~DictInterface() = default;
};

#endif
