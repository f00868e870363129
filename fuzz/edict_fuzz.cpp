// Drives the record functions over arbitrary bytes: the first 392 bytes are the record, the rest
// a program of operations. Any access outside the record is caught by the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "edict.h"

namespace {

uint16_t Read16(const uint8_t*& p, const uint8_t* end) {
    uint16_t v = 0;
    if (end - p >= 2) {
        std::memcpy(&v, p, 2);
        p += 2;
    } else {
        p = end;
    }
    return v;
}

void Apply(EDict* d, uint8_t op, uint16_t key, uint16_t arg) {
    uint16_t type = 0;
    switch (op % 12) {
        case 0: EDictPutLong(d, key, arg); break;
        case 1: EDictPutShort(d, key, arg); break;
        case 2: EDictPutFloat(d, key, static_cast<float>(arg)); break;
        case 3: EDictPutTyped(d, key, arg, static_cast<uint16_t>(arg % 12)); break;
        case 4: EDictRemove(d, key); break;
        case 5: (void)EDictGetLong(d, key); break;
        case 6: (void)EDictGetShort(d, key); break;
        case 7: (void)EDictGetFloat(d, key); break;
        case 8: (void)EDictGetBool(d, key); break;
        case 9: (void)EDictKeyAt(d, static_cast<int32_t>(arg % 40) - 2, &type); break;
        case 10: (void)EDictKeyCount(d); break;
        default: EDictPutHandle(d, key, arg); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EDict d;
    EDictClear(&d);
    std::memcpy(&d, data, size < sizeof d ? size : sizeof d);
    const uint8_t* p = data + (size < sizeof d ? size : sizeof d);
    const uint8_t* end = data + size;
    while (p < end) {
        uint8_t op = *p++;
        uint16_t key = Read16(p, end);
        uint16_t arg = Read16(p, end);
        Apply(&d, op, key, arg);
    }
    return 0;
}
