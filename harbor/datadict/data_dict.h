// A data dictionary: one tree of HostValue nodes in the host's memory, as PSGet answers it to the
// module. The object owns every node; payloads refer to other nodes through HxRef, so nodes are
// allocated in an arena and never move, even when the DataDict itself is moved.
#ifndef HARBOR_DATADICT_DATA_DICT_H
#define HARBOR_DATADICT_DATA_DICT_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "datadict/arena.h"
#include "host_value.h"

namespace harbor {

// Room a dictionary keeps beyond its pairs: the module's reader appends an INDEX pair to a
// dictionary that lacks one, and writes nothing when the block is full.
inline constexpr std::size_t kSparePairs = 4;
// Counts are 16-bit in a HostValue.
inline constexpr std::size_t kMaxArrayElements = 0xFFFF;
inline constexpr std::size_t kMaxDictionaryPairs = 0xFFFF - kSparePairs;

class DataDict {
public:
    DataDict() = default;

    // The tree's root, null until SetRoot. The module may write into the tree (INDEX pairs).
    HostValue* Root() { return root_; }
    const HostValue* Root() const { return root_; }
    void SetRoot(const HostValue& value);

    // Scalars: flags 0 and count 1, as the module builds its lookup keys.
    static HostValue Integer(uint32_t value);
    static HostValue Name(uint16_t atom);

    // Composite values. Their storage lives in this tree; the returned HostValue may be copied
    // anywhere (into an array, a pair, the root). Inputs longer than the limits above are cut.
    HostValue Text(std::string_view characters);  // NUL-terminated copy; caller keeps out NULs
    HostValue Array(std::span<const HostValue> elements);
    HostValue Dictionary(std::span<const HostPair> pairs);  // capacity pairs + kSparePairs
    HostValue Reference(const HostValue& target);

    std::size_t BytesReserved() const { return arena_.Reserved(); }

private:
    Arena arena_;
    HostValue* root_ = nullptr;
};

// Read access to a pair block by index, without indexing past its declared one-element array.
HostPair* PairAt(HostPairBlock* block, std::size_t index);
const HostPair* PairAt(const HostPairBlock* block, std::size_t index);

}  // namespace harbor

#endif
