// Data dictionary text: any bytes must give a tree or an error message, never a crash, and a
// tree must be whole: every payload leads to memory the tree owns.
// Every address a tree uses keeps its HxRef number for good; under the address sanitizer's
// quarantine no address repeats, so long runs want ASAN_OPTIONS=quarantine_size_mb=16 to keep
// that table, and the memory use, flat.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "datadict/data_dict_parser.h"
#include "hxmsg.h"

namespace {

void Walk(const HostValue* value) {
    switch (value->type) {
    case HostValueArray: {
        auto* elements = static_cast<const HostValue*>(HxDeref(value->payload));
        for (std::size_t i = 0; i < value->count; ++i) Walk(elements + i);
        break;
    }
    case HostValueDictionary: {
        auto* block = static_cast<const HostPairBlock*>(HxDeref(value->payload));
        if (block->count + harbor::kSparePairs > value->count) std::abort();
        for (std::size_t i = 0; i < value->count; ++i) {
            const HostPair* pair = harbor::PairAt(block, i);
            if (i < block->count) {
                if (pair->key.type != HostValueName || pair->key.count != 1) std::abort();
                Walk(&pair->value);
            } else if (pair->key.type != 0 || pair->value.type != 0) {
                std::abort();  // spare pairs must stay empty
            }
        }
        break;
    }
    case HostValueReference:
        Walk(static_cast<const HostValue*>(HxDeref(value->payload)));
        break;
    case HostValueText: {
        auto* text = static_cast<const char*>(HxDeref(value->payload));
        while (*text != '\0') ++text;
        break;
    }
    case HostValueInteger:
    case HostValueName:
        break;
    default:
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    harbor::DataDictResult result = harbor::ParseDataDict(text, "fuzz.dct");
    if (result) {
        Walk(result.dict->Root());
    } else if (!result.error.starts_with("fuzz.dct")) {
        std::abort();
    }
    return 0;
}
