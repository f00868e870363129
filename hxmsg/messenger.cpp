#include "messenger.h"

#include <algorithm>

namespace hxmsg {

namespace {

class LoopScope {
public:
    explicit LoopScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~LoopScope() { flag_ = false; }
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;

private:
    bool& flag_;
};

} // namespace

Messenger& Messenger::Instance() {
    static auto* messenger = new Messenger;
    return *messenger;
}

void Messenger::Trace(HxTraceEvent event, uint16_t port, const EDict* record, int32_t delay) const {
    if (trace_hook_ != nullptr) trace_hook_(event, port, record, delay, trace_user_);
}

bool Messenger::Send(uint16_t port, EDict* record) {
    if (port == 0 || record == nullptr) return false;
    Trace(HxTraceSend, port, record, 0);
    return ports_.Deliver(port, record);
}

bool Messenger::Post(uint16_t port, const EDict* record, int32_t delay) {
    if (port == 0 || record == nullptr) return false;
    delay = std::max(delay, int32_t{0});
    posts_.Push(clock_.Now() + static_cast<uint64_t>(delay), port, *record);
    Trace(HxTracePost, port, record, delay);
    return true;
}

void Messenger::SetRealClock(bool real) {
    if (real == clock_.IsReal()) return;
    clock_.SetReal(real);
    ++generation_;
}

void Messenger::AdvanceTime(uint32_t ms) {
    if (clock_.IsReal()) {
        RunUntilIdle();
        return;
    }
    uint64_t target = clock_.Now() + ms;
    if (delivering_) {
        loop_target_ = std::max(loop_target_, target);
        return;
    }
    DeliverDue(target);
}

void Messenger::RunUntilIdle() {
    if (!delivering_) DeliverDue(clock_.Now());
}

// Delivers in (due, post order) every post that falls due by the loop's target, including the
// ones its handlers post. The deterministic clock shows each post's due time while it is
// delivered; the real clock is held at the reading the loop started from.
void Messenger::DeliverDue(uint64_t target) {
    LoopScope scope(delivering_);
    loop_target_ = target;
    const uint64_t generation = generation_;
    const bool real = clock_.IsReal();
    if (real) clock_.Hold(target);
    while (DeliverNext(generation)) {
    }
    if (generation != generation_) return; // reset or switched clocks: the clock is theirs now
    if (real) {
        clock_.Release();
    } else {
        clock_.AdvanceTo(loop_target_);
    }
}

bool Messenger::DeliverNext(uint64_t generation) {
    if (generation != generation_) return false;
    std::optional<uint64_t> due = posts_.NextDue();
    if (!due || *due > loop_target_) return false;
    clock_.AdvanceTo(*due);
    uint16_t port = 0;
    EDict record;
    posts_.Pop(port, record);
    Trace(HxTraceDeliver, port, &record, 0);
    ports_.Deliver(port, &record);
    return true;
}

int64_t Messenger::TimeToNextPost() const {
    std::optional<uint64_t> due = posts_.NextDue();
    if (!due) return -1;
    uint64_t now = clock_.Now();
    return *due <= now ? 0 : static_cast<int64_t>(*due - now);
}

void Messenger::SetTraceHook(HxTraceHook hook, void* user) {
    trace_hook_ = hook;
    trace_user_ = hook != nullptr ? user : nullptr;
}

void Messenger::Reset() {
    ports_.DetachAll();
    posts_.Clear();
    clock_.Reset();
    ++generation_;
}

} // namespace hxmsg
