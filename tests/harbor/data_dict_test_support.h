// Reading a data dictionary tree the way the module does: through HxDeref of payloads.
#ifndef WRENMAIL_TESTS_HARBOR_DATA_DICT_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_DATA_DICT_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "datadict/data_dict.h"
#include "harbor_test_support.h"
#include "hxmsg.h"

namespace harbor_test {

// A private folder per test, for files a test writes.
class TempDirTest : public ::testing::Test {
protected:
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        WriteFile(dir_ / name, text);
        return dir_ / name;
    }

    TempDir temp_;
    std::filesystem::path dir_ = temp_.Path();
};

inline const HostPairBlock* Block(const HostValue* dict) {
    return static_cast<const HostPairBlock*>(HxDeref(dict->payload));
}

// The value under `key` in a dictionary value, or null.
inline const HostValue* Lookup(const HostValue* dict, const char* key) {
    if (dict == nullptr || dict->type != HostValueDictionary) return nullptr;
    const HostPairBlock* block = Block(dict);
    for (uint32_t i = 0; i < block->count; ++i) {
        const HostPair* pair = harbor::PairAt(block, i);
        if (pair->key.type == HostValueName && pair->key.count == 1 && pair->key.payload == A(key)) {
            return &pair->value;
        }
    }
    return nullptr;
}

inline const HostValue* Element(const HostValue* array, std::size_t index) {
    return static_cast<const HostValue*>(HxDeref(array->payload)) + index;
}

inline std::string TextOf(const HostValue* value) {
    return static_cast<const char*>(HxDeref(value->payload));
}

inline std::string NameOf(const HostValue* value) {
    const char* name = DaNameGetString(static_cast<uint16_t>(value->payload));
    return name == nullptr ? std::string() : name;
}

// What PSGet answers for the name atom `name`: the tree published under it, or null.
inline const HostValue* Published(uint16_t name) {
    HostValue key{0, HostValueName, 1, name};
    return PSGet(&key);
}

}  // namespace harbor_test

#endif
