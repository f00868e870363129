// 32-bit references for addresses, shared by every library of the process.
#ifndef WRENMAIL_HXMSG_REFERENCES_H
#define WRENMAIL_HXMSG_REFERENCES_H

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace hxmsg {

// Numbering an address takes a lock; turning a number back does not. Addresses live in chunks
// that never move, each twice the size of the one before, so readers need only the published
// count to know that an entry is complete.
class ReferenceTable {
public:
    static ReferenceTable& Instance(); // built on first use, never destroyed

    uint32_t Ref(const void* address);
    void* Deref(uint32_t reference) const;

private:
    static constexpr unsigned kFirstChunkBits = 10;
    static constexpr unsigned kChunkCount = 33 - kFirstChunkBits; // covers every 32-bit number

    struct Slot {
        unsigned chunk;
        uint64_t index;
    };
    static Slot Locate(uint32_t reference);
    void Store(uint32_t reference, const void* address);

    std::mutex mutex_;
    std::unordered_map<const void*, uint32_t> numbers_;
    std::atomic<uint32_t> count_{0};
    std::array<std::atomic<const void**>, kChunkCount> chunks_{};
};

} // namespace hxmsg

#endif
