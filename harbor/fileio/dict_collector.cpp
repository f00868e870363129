#include "fileio/dict_collector.h"

#include <bitset>
#include <memory>

#include "edict.h"
#include "hxmsg.h"

namespace harbor {

namespace {

std::string KeyLabel(uint16_t key) {
    const char* name = DaNameGetString(key);
    return name != nullptr ? "\"" + std::string(name) + "\"" : "atom " + std::to_string(key);
}

const char* Unstorable(uint16_t type) {
    switch (type) {
        case EDictPointer: return "a Pointer cannot be stored";
        case EDictHandle: return "a Handle cannot be stored";
        case EDictLong:
        case EDictShort:
        case EDictText:
        case EDictFloat:
        case EDictType9: return nullptr;
        default: return "a value of a reserved kind cannot be stored";
    }
}

DictFileEntry ShortEntry(uint16_t value) {
    DictFileEntry e;
    e.value = value;
    const char* name = value != 0 ? DaNameGetString(value) : nullptr;
    e.kind = name != nullptr ? StoredKind::NamedShort : StoredKind::Short;
    if (name != nullptr) e.text = name;
    return e;
}

// A null text is stored as the empty text: the format has no null.
DictFileEntry ValueEntry(DictInterface& dict, uint16_t key, uint16_t type) {
    DictFileEntry e;
    switch (type) {
        case EDictShort: return ShortEntry(dict.GetShort(key));
        case EDictText: {
            e.kind = StoredKind::Text;
            if (const auto* text = static_cast<const char*>(HxDeref(dict.GetText(key)))) e.text = text;
            return e;
        }
        case EDictFloat: e.kind = StoredKind::Float; break;
        case EDictType9: e.kind = StoredKind::Type9; break;
        default: e.kind = StoredKind::Long; break;
    }
    // The raw 32 bits: a Float's bit pattern comes through the 32-bit get unchanged.
    e.value = type == EDictType9 ? dict.GetType9(key) : static_cast<uint32_t>(dict.GetLong(key));
    return e;
}

}  // namespace

bool CollectEntries(DictInterface& dict, std::vector<DictFileEntry>& out, std::string& refusal) {
    out.clear();
    auto seen = std::make_unique<std::bitset<0x10000>>();
    const int32_t count = dict.KeyCount();
    for (int32_t i = 0; i < count; ++i) {
        uint16_t type = EDictNone;
        const uint16_t key = dict.KeyAt(i, &type);
        if (key == 0 || seen->test(key)) continue;  // a repeated key: its first entry is the one gets answer
        seen->set(key);
        if (const char* why = Unstorable(type)) {
            refusal = KeyLabel(key) + ": " + why;
            return false;
        }
        const char* name = DaNameGetString(key);
        if (name == nullptr) {
            refusal = KeyLabel(key) + ": the key has no name";
            return false;
        }
        DictFileEntry e = ValueEntry(dict, key, type);
        e.key = name;
        out.push_back(e);
    }
    return true;
}

}  // namespace harbor
