// The host's messaging state: ports, pending posts, the clock and the trace hook, and the
// delivery loops that tie them together. Used from the host's one thread only.
#ifndef WRENMAIL_HXMSG_MESSENGER_H
#define WRENMAIL_HXMSG_MESSENGER_H

#include <cstdint>

#include "clock.h"
#include "hxmsg.h"
#include "port_registry.h"
#include "post_queue.h"

namespace hxmsg {

// Delivery loops do not nest. While HxAdvanceTime or HxRunUntilIdle delivers, a nested
// HxRunUntilIdle returns at once (the running loop goes on to deliver whatever falls due), and a
// nested HxAdvanceTime(ms) on the deterministic clock moves the running loop's target to at least
// now + ms, so the time asked for still passes once the current handler returns.
class Messenger {
public:
    static Messenger& Instance(); // built on first use, never destroyed

    bool Attach(uint16_t port, HxHandler handler) { return ports_.Attach(port, handler); }
    bool Detach(uint16_t port, HxHandler handler) { return ports_.Detach(port, handler); }
    bool Send(uint16_t port, EDict* record);
    bool Post(uint16_t port, const EDict* record, int32_t delay);

    uint64_t Now() const { return clock_.Now(); }
    bool IsRealClock() const { return clock_.IsReal(); }
    void SetRealClock(bool real);
    void AdvanceTime(uint32_t ms);
    void RunUntilIdle();
    int64_t TimeToNextPost() const;
    uint32_t PendingPostCount() const { return static_cast<uint32_t>(posts_.Size()); }

    void SetTraceHook(HxTraceHook hook, void* user);
    // The trace hook stays: it observes the host, it is not part of the state being reset.
    void Reset();

private:
    void DeliverDue(uint64_t target);
    bool DeliverNext(uint64_t generation);
    void Trace(HxTraceEvent event, uint16_t port, const EDict* record, int32_t delay) const;

    PortRegistry ports_;
    PostQueue posts_;
    Clock clock_;
    HxTraceHook trace_hook_ = nullptr;
    void* trace_user_ = nullptr;
    bool delivering_ = false; // a delivery loop is running
    uint64_t loop_target_ = 0;
    uint64_t generation_ = 0; // changes on reset and clock switch: a running loop then stops
};

} // namespace hxmsg

#endif
