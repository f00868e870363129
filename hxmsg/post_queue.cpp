#include "post_queue.h"

namespace hxmsg {

void PostQueue::Push(uint64_t due, uint16_t port, const EDict& record) {
    uint32_t slot;
    if (free_slots_.empty()) {
        slot = static_cast<uint32_t>(slots_.size());
        slots_.push_back({port, record});
    } else {
        slot = free_slots_.back();
        free_slots_.pop_back();
        slots_[slot] = {port, record};
    }
    heap_.push({due, next_sequence_++, slot});
}

std::optional<uint64_t> PostQueue::NextDue() const {
    if (heap_.empty()) return std::nullopt;
    return heap_.top().due;
}

void PostQueue::Pop(uint16_t& port, EDict& record) {
    uint32_t slot = heap_.top().slot;
    heap_.pop();
    port = slots_[slot].port;
    record = slots_[slot].record;
    free_slots_.push_back(slot);
}

void PostQueue::Clear() {
    heap_ = {};
    slots_.clear();
    free_slots_.clear();
}

} // namespace hxmsg
