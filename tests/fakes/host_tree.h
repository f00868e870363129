// Test support: builds host value trees the way a host lays them out, with every address carried
// as a reference. Everything stays alive (and in place) as long as the builder does.
#ifndef WRENMAIL_TESTS_FAKES_HOST_TREE_H
#define WRENMAIL_TESTS_FAKES_HOST_TREE_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "host_value.h"
#include "hxmsg.h"

class HostTree {
public:
    static HostValue Int(int32_t value) {
        return HostValue{0, HostValueInteger, 1, static_cast<uint32_t>(value)};
    }
    static HostValue Name(uint16_t atom) { return HostValue{0, HostValueName, 1, atom}; }
    static HostValue Text(const char* text) { return HostValue{0, HostValueText, 1, HxRef(text)}; }

    // A value kept at a fixed address.
    HostValue* Keep(const HostValue& value) {
        values_.push_back(value);
        return &values_.back();
    }
    HostValue Ref(const HostValue& target) {
        return HostValue{0, HostValueReference, 1, HxRef(Keep(target))};
    }
    HostValue Array(std::vector<HostValue> elements) {
        arrays_.push_back(std::move(elements));
        const std::vector<HostValue>& kept = arrays_.back();
        return HostValue{0, HostValueArray, static_cast<uint16_t>(kept.size()), HxRef(kept.data())};
    }
    // A dictionary whose pair block holds `capacity` pairs, the first ones filled.
    HostValue Dict(const std::vector<std::pair<uint16_t, HostValue>>& pairs, uint16_t capacity) {
        blocks_.push_back(std::make_unique<std::byte[]>(8 + sizeof(HostPair) * capacity));
        auto* block = reinterpret_cast<HostPairBlock*>(blocks_.back().get());
        block->count = static_cast<uint32_t>(pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            HostPair* pair = &block->pairs[0] + i;
            pair->key = Name(pairs[i].first);
            pair->value = pairs[i].second;
        }
        return HostValue{0, HostValueDictionary, capacity, HxRef(block)};
    }

    // The pair block behind a dictionary value built here.
    static HostPairBlock* BlockOf(const HostValue& dict) {
        return static_cast<HostPairBlock*>(HxDeref(dict.payload));
    }
    static const HostPair& PairAt(const HostValue& dict, uint32_t i) {
        return *(&BlockOf(dict)->pairs[0] + i);
    }

private:
    std::deque<HostValue> values_;
    std::deque<std::vector<HostValue>> arrays_;
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
};

#endif
