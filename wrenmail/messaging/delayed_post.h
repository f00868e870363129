// Posts counted in timer ticks rather than milliseconds: DelayedPost queues a copy of a record,
// and PostMessages (attached to TimerPortTick on first use) posts it once its ticks have run out.
#ifndef WRENMAIL_MESSAGING_DELAYED_POST_H
#define WRENMAIL_MESSAGING_DELAYED_POST_H

#include <cstddef>
#include <cstdint>

#include "edict.h"

namespace wm {

// One queued post: the destination, a full copy of the record and the ticks still to wait.
class PendingPost {
public:
    virtual ~PendingPost() = default;

    PendingPost* next = nullptr;
    PendingPost* prev = nullptr;
    uint16_t port = 0;
    EDict record{};
    int32_t ticks = 0;
};

// Queues a copy of the record for `port`; it is posted with delay 0 on the tick on which its
// remaining ticks reach 0 or less (so 0 and 1 both mean the next tick).
void DelayedPost(uint16_t port, const EDict* record, int32_t ticks);

// Posts waiting in the queue.
std::size_t PendingPostCount();

}  // namespace wm

#endif
