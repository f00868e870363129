// Posted records waiting for their due time.
#ifndef WRENMAIL_HXMSG_POST_QUEUE_H
#define WRENMAIL_HXMSG_POST_QUEUE_H

#include <cstdint>
#include <optional>
#include <queue>
#include <vector>

#include "edict.h"

namespace hxmsg {

// Ordered by due time, then by posting order. The heap holds small keys; the record copies stay
// in a pool of slots that are reused, so a queue in steady use does not allocate.
class PostQueue {
public:
    void Push(uint64_t due, uint16_t port, const EDict& record);
    std::optional<uint64_t> NextDue() const;
    // Removes the earliest post, copying its record out: handlers of the delivery may post again
    // and so move the pool.
    void Pop(uint16_t& port, EDict& record);
    size_t Size() const { return heap_.size(); }
    void Clear();

private:
    struct Key {
        uint64_t due;
        uint64_t sequence;
        uint32_t slot;
        bool operator>(const Key& other) const {
            return due != other.due ? due > other.due : sequence > other.sequence;
        }
    };
    struct Slot {
        uint16_t port;
        EDict record;
    };

    std::priority_queue<Key, std::vector<Key>, std::greater<>> heap_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_slots_;
    uint64_t next_sequence_ = 0;
};

} // namespace hxmsg

#endif
