// The message record's functions. Records may come from any host, so every access is checked
// against the record's 392 bytes: a slot that points outside them reads as absent.
#include <cstring>

#include "edict.h"
#include "hxmsg.h"

namespace {

constexpr unsigned kDataBegin = EDICT_DATA_BEGIN;
constexpr unsigned kRecordEnd = EDICT_SIZE;

// Bytes a value of each type code occupies; codes past 9 are not storable.
constexpr uint16_t kTypeSize[10] = {0, 4, 4, 2, 4, 4, 4, 4, 4, 4};

uint8_t* Bytes(EDict* d) { return reinterpret_cast<uint8_t*>(d); }
const uint8_t* Bytes(const EDict* d) { return reinterpret_cast<const uint8_t*>(d); }

bool Damaged(const EDictEntry& e) {
    return e.offset < kDataBegin || (e.size != 2 && e.size != 4) ||
           unsigned{e.offset} + e.size > kRecordEnd;
}

bool TopInRange(const EDict* d) { return d->top >= kDataBegin && d->top <= kRecordEnd; }

// First intact slot holding the key, or -1. Free slots do not end the search.
int FindSlot(const EDict* d, uint16_t key) {
    if (d == nullptr || key == 0) return -1;
    for (int i = 0; i < EDICT_SLOT_COUNT; ++i) {
        if (d->slots[i].key == key && !Damaged(d->slots[i])) return i;
    }
    return -1;
}

// Copies `width` bytes of the key's value into out; false when absent or the read would leave
// the record (a 4-byte get of a 2-byte value at the very end).
bool ReadValue(const EDict* d, uint16_t key, void* out, unsigned width) {
    int i = FindSlot(d, key);
    if (i < 0) return false;
    unsigned offset = d->slots[i].offset;
    if (offset + width > kRecordEnd) return false;
    std::memcpy(out, Bytes(d) + offset, width);
    return true;
}

int32_t ReadLong(const EDict* d, uint16_t key) {
    int32_t v = 0;
    return ReadValue(d, key, &v, 4) ? v : 0;
}

bool RoomFor(const EDict* d, unsigned needed) { return TopInRange(d) && d->top + needed <= kRecordEnd; }

// Stores a value: in place when the key holds the same type, else in fresh space at data top
// (the old bytes stay as dead space). `room` is the room test, `grow` the bytes taken, `width`
// the bytes written; they differ only for the typed put of a 2-byte code.
bool Put(EDict* d, uint16_t key, uint16_t type, const void* value, unsigned width, unsigned grow,
         unsigned room) {
    if (d == nullptr || key == 0) return false;
    int i = FindSlot(d, key);
    if (i >= 0 && d->slots[i].type == type) {
        if (d->slots[i].offset + width > kRecordEnd) return false;
        std::memcpy(Bytes(d) + d->slots[i].offset, value, width);
        return true;
    }
    if (!RoomFor(d, room)) return false;
    if (i < 0) {
        for (int s = 0; s < EDICT_SLOT_COUNT && i < 0; ++s) {
            if (d->slots[s].key == 0) i = s;
        }
        if (i < 0) return false;
    }
    EDictEntry& e = d->slots[i];
    e.key = key;
    e.type = type;
    e.offset = d->top;
    e.size = static_cast<uint16_t>(grow);
    std::memcpy(Bytes(d) + d->top, value, width);
    d->top = static_cast<uint16_t>(d->top + grow);
    return true;
}

bool Put32(EDict* d, uint16_t key, uint16_t type, uint32_t value) { return Put(d, key, type, &value, 4, 4, 4); }

}  // namespace

HX_API void EDictClear(EDict* d) {
    if (d == nullptr) return;
    std::memset(d, 0, sizeof(EDict));
    d->top = kDataBegin;
}

HX_API void EDictSetType(EDict* d, uint16_t type) {
    if (d != nullptr) d->type = type;
}

HX_API uint16_t EDictGetType(const EDict* d) { return d != nullptr ? d->type : 0; }

HX_API uint32_t EDictGetTime(const EDict* d) { return d != nullptr ? d->time : 0; }

HX_API bool EDictHasKey(const EDict* d, uint16_t key) { return FindSlot(d, key) >= 0; }

HX_API bool EDictGetBool(const EDict* d, uint16_t key) { return ReadLong(d, key) > 0; }

HX_API uint16_t EDictGetShort(const EDict* d, uint16_t key) {
    uint16_t v = 0;
    return ReadValue(d, key, &v, 2) ? v : 0;
}

HX_API int32_t EDictGetLong(const EDict* d, uint16_t key) { return ReadLong(d, key); }

HX_API float EDictGetFloat(const EDict* d, uint16_t key) {
    float v = 0.0f;
    return ReadValue(d, key, &v, 4) ? v : 0.0f;
}

HX_API bool EDictPutBool(EDict* d, uint16_t key, bool value) { return Put32(d, key, EDictLong, value ? 1u : 0u); }

HX_API bool EDictPutLong(EDict* d, uint16_t key, int32_t value) {
    return Put32(d, key, EDictLong, static_cast<uint32_t>(value));
}

HX_API bool EDictPutPointer(EDict* d, uint16_t key, const void* address) {
    return Put32(d, key, EDictPointer, HxRef(address));
}

HX_API bool EDictPutShort(EDict* d, uint16_t key, uint16_t value) { return Put(d, key, EDictShort, &value, 2, 2, 2); }

HX_API bool EDictPutText(EDict* d, uint16_t key, const char* text) { return Put32(d, key, EDictText, HxRef(text)); }

HX_API bool EDictPutHandle(EDict* d, uint16_t key, uint32_t handle) {
    return EDictPutTyped(d, key, handle, EDictHandle);
}

HX_API bool EDictPutFloat(EDict* d, uint16_t key, float value) { return Put(d, key, EDictFloat, &value, 4, 4, 4); }

HX_API bool EDictPutType9(EDict* d, uint16_t key, uint32_t value) { return EDictPutTyped(d, key, value, EDictType9); }

HX_API bool EDictPutTyped(EDict* d, uint16_t key, uint32_t value, uint16_t type) {
    if (type == EDictNone || type > EDictType9) return false;
    return Put(d, key, type, &value, 4, kTypeSize[type], 4);
}

HX_API int32_t EDictKeyCount(const EDict* d) {
    if (d == nullptr) return 0;
    int32_t n = 0;
    for (const EDictEntry& e : d->slots) {
        if (e.key != 0 && !Damaged(e)) ++n;
    }
    return n;
}

HX_API uint16_t EDictKeyAt(const EDict* d, int32_t n, uint16_t* type) {
    if (d == nullptr || n < 0) return 0;
    for (const EDictEntry& e : d->slots) {
        if (e.key == 0 || Damaged(e)) continue;
        if (n-- == 0) {
            if (type != nullptr) *type = e.type;
            return e.key;
        }
    }
    return 0;
}

HX_API bool EDictRemove(EDict* d, uint16_t key) {
    int i = FindSlot(d, key);
    if (i < 0) return false;
    const unsigned offset = d->slots[i].offset;
    const unsigned size = d->slots[i].size;
    d->slots[i] = EDictEntry{0, 0, 0, 0};
    if (offset + size < kRecordEnd) {
        std::memmove(Bytes(d) + offset, Bytes(d) + offset + size, kRecordEnd - (offset + size));
    }
    for (EDictEntry& e : d->slots) {
        if (e.offset > offset) e.offset = static_cast<uint16_t>(e.offset - size);
    }
    if (TopInRange(d)) d->top = static_cast<uint16_t>(d->top >= kDataBegin + size ? d->top - size : kDataBegin);
    return true;
}

HX_API const char* EDictGetText(const EDict* d, uint16_t key) {
    return static_cast<const char*>(HxDeref(static_cast<uint32_t>(ReadLong(d, key))));
}

HX_API void* EDictGetPointer(const EDict* d, uint16_t key) {
    return HxDeref(static_cast<uint32_t>(ReadLong(d, key)));
}
