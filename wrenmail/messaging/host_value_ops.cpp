#include "messaging/host_value_ops.h"

#include "hxmsg.h"

namespace wm::hostvalue {
namespace {

// A host tree nests a handful of references at most; more than this is a loop.
constexpr int kMaxReferenceHops = 64;

}  // namespace

HostValue NameValue(uint16_t atom) {
    return HostValue{0, HostValueName, 1, atom};
}

HostValue IntegerValue(int32_t value) {
    return HostValue{0, HostValueInteger, 1, static_cast<uint32_t>(value)};
}

bool SameValue(const HostValue& a, const HostValue& b) {
    return a.type == b.type && a.count == b.count && a.payload == b.payload;
}

const HostValue* Resolve(const HostValue* value) {
    for (int hops = 0; value != nullptr && value->type == HostValueReference; ++hops) {
        if (hops == kMaxReferenceHops) {
            return nullptr;
        }
        value = static_cast<const HostValue*>(HxDeref(value->payload));
    }
    return value;
}

HostPairBlock* PairBlock(const HostValue* dictionary, uint16_t* capacity) {
    *capacity = 0;
    dictionary = Resolve(dictionary);
    if (dictionary == nullptr || dictionary->type != HostValueDictionary) {
        return nullptr;
    }
    auto* block = static_cast<HostPairBlock*>(HxDeref(dictionary->payload));
    if (block != nullptr) {
        *capacity = dictionary->count;
    }
    return block;
}

// The block holds as many pairs as its dictionary's capacity, past the one its type declares.
HostPair* PairAt(HostPairBlock* block, uint32_t index) {
    return &block->pairs[0] + index;
}

HostPair* FindPair(const HostValue* dictionary, const HostValue& key) {
    uint16_t capacity = 0;
    HostPairBlock* block = PairBlock(dictionary, &capacity);
    if (block == nullptr) {
        return nullptr;
    }
    for (uint32_t i = 0; i < block->count; ++i) {
        HostPair* pair = PairAt(block, i);
        if (SameValue(pair->key, key)) {
            return pair;
        }
    }
    return nullptr;
}

bool SetPair(const HostValue* dictionary, const HostValue& key, const HostValue& value) {
    if (HostPair* pair = FindPair(dictionary, key)) {
        pair->value = value;
        return true;
    }
    uint16_t capacity = 0;
    HostPairBlock* block = PairBlock(dictionary, &capacity);
    if (block == nullptr || block->count >= capacity) {
        return false;
    }
    HostPair* pair = PairAt(block, block->count);
    pair->key = key;
    pair->value = value;
    ++block->count;
    return true;
}

const HostValue* Find(const HostValue* dictionary, uint16_t key) {
    const HostPair* pair = FindPair(dictionary, NameValue(key));
    return pair != nullptr ? &pair->value : nullptr;
}

const HostValue* Elements(const HostValue* value, uint16_t* count) {
    *count = 0;
    value = Resolve(value);
    if (value == nullptr || value->type != HostValueArray) {
        return nullptr;
    }
    const auto* elements = static_cast<const HostValue*>(HxDeref(value->payload));
    if (elements != nullptr) {
        *count = value->count;
    }
    return elements;
}

const char* TextOf(const HostValue* value) {
    value = Resolve(value);
    if (value == nullptr) {
        return nullptr;
    }
    // Texts are read through their payload; only the kinds whose payload is surely no text
    // address are turned away.
    switch (value->type) {
    case HostValueArray:
    case HostValueDictionary:
    case HostValueInteger:
    case HostValueName:
        return nullptr;
    default:
        return static_cast<const char*>(HxDeref(value->payload));
    }
}

}  // namespace wm::hostvalue
