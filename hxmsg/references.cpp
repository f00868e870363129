#include "references.h"

#include <bit>
#include <limits>

namespace hxmsg {

ReferenceTable& ReferenceTable::Instance() {
    static auto* table = new ReferenceTable;
    return *table;
}

ReferenceTable::Slot ReferenceTable::Locate(uint32_t reference) {
    // Shifting by the first chunk's size makes chunk c hold the numbers whose shifted value has
    // bit (c + kFirstChunkBits) as its highest.
    uint64_t shifted = uint64_t{reference} + (uint64_t{1} << kFirstChunkBits) - 1;
    auto chunk = static_cast<unsigned>(std::bit_width(shifted)) - 1 - kFirstChunkBits;
    return {chunk, shifted - (uint64_t{1} << (chunk + kFirstChunkBits))};
}

void ReferenceTable::Store(uint32_t reference, const void* address) {
    Slot slot = Locate(reference);
    const void** chunk = chunks_[slot.chunk].load(std::memory_order_relaxed);
    if (chunk == nullptr) {
        chunk = new const void*[uint64_t{1} << (slot.chunk + kFirstChunkBits)];
        chunks_[slot.chunk].store(chunk, std::memory_order_release);
    }
    chunk[slot.index] = address;
}

uint32_t ReferenceTable::Ref(const void* address) {
    if (address == nullptr) return 0;
    std::lock_guard lock(mutex_);
    if (auto it = numbers_.find(address); it != numbers_.end()) return it->second;
    uint32_t count = count_.load(std::memory_order_relaxed);
    if (count == std::numeric_limits<uint32_t>::max()) return 0;
    uint32_t reference = count + 1;
    Store(reference, address);
    numbers_.emplace(address, reference);
    count_.store(reference, std::memory_order_release); // publishes the entry to Deref
    return reference;
}

void* ReferenceTable::Deref(uint32_t reference) const {
    if (reference == 0 || reference > count_.load(std::memory_order_acquire)) return nullptr;
    Slot slot = Locate(reference);
    const void** chunk = chunks_[slot.chunk].load(std::memory_order_acquire);
    return const_cast<void*>(chunk[slot.index]);
}

} // namespace hxmsg
