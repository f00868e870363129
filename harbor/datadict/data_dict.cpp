#include "datadict/data_dict.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "hxmsg.h"

namespace harbor {

namespace {

HostValue Make(uint8_t type, std::size_t count, uint32_t payload) {
    HostValue v{};
    v.type = type;
    v.count = static_cast<uint16_t>(count);
    v.payload = payload;
    return v;
}

}  // namespace

HostPair* PairAt(HostPairBlock* block, std::size_t index) {
    auto* bytes = reinterpret_cast<std::byte*>(block) + offsetof(HostPairBlock, pairs);
    return reinterpret_cast<HostPair*>(bytes + index * sizeof(HostPair));
}

const HostPair* PairAt(const HostPairBlock* block, std::size_t index) {
    return PairAt(const_cast<HostPairBlock*>(block), index);
}

void DataDict::SetRoot(const HostValue& value) {
    if (root_ == nullptr) {
        root_ = new (arena_.Allocate(sizeof(HostValue), alignof(HostValue))) HostValue{};
    }
    *root_ = value;
}

HostValue DataDict::Integer(uint32_t value) { return Make(HostValueInteger, 1, value); }

HostValue DataDict::Name(uint16_t atom) { return Make(HostValueName, 1, atom); }

HostValue DataDict::Text(std::string_view characters) {
    auto* copy = static_cast<char*>(arena_.Allocate(characters.size() + 1, 1));
    if (!characters.empty()) std::memcpy(copy, characters.data(), characters.size());
    return Make(HostValueText, 1, HxRef(copy));  // the arena's zero fill is the terminator
}

HostValue DataDict::Array(std::span<const HostValue> elements) {
    std::size_t n = std::min(elements.size(), kMaxArrayElements);
    if (n == 0) return Make(HostValueArray, 0, 0);
    void* storage = arena_.Allocate(n * sizeof(HostValue), alignof(HostValue));
    auto* copy = new (storage) HostValue[n];
    std::copy_n(elements.begin(), n, copy);
    return Make(HostValueArray, n, HxRef(copy));
}

HostValue DataDict::Dictionary(std::span<const HostPair> pairs) {
    std::size_t n = std::min(pairs.size(), kMaxDictionaryPairs);
    std::size_t capacity = n + kSparePairs;
    std::size_t bytes = offsetof(HostPairBlock, pairs) + capacity * sizeof(HostPair);
    // Spare pairs stay zeroed: a zero key matches no name the module looks up.
    auto* block = new (arena_.Allocate(bytes, alignof(HostPairBlock))) HostPairBlock{};
    block->count = static_cast<uint32_t>(n);
    for (std::size_t i = 0; i < n; ++i) *new (PairAt(block, i)) HostPair{} = pairs[i];
    return Make(HostValueDictionary, capacity, HxRef(block));
}

HostValue DataDict::Reference(const HostValue& target) {
    auto* node = new (arena_.Allocate(sizeof(HostValue), alignof(HostValue))) HostValue{};
    *node = target;
    return Make(HostValueReference, 1, HxRef(node));
}

}  // namespace harbor
