#include "services/timer_service.h"

#include <cassert>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"

namespace harbor {

TimerService* TimerService::live_ = nullptr;

TimerService::TimerService()
    : tick_{AtomOf("TimerPortTick"), kTickMs, 0, 0}, second_{AtomOf("TimerPortSeconds"), kSecondMs, 0, 0} {
    assert(live_ == nullptr && "one timer service at a time");
    live_ = this;
    HxPortAttach(tick_.port, &TimerService::OnTick);
    HxPortAttach(second_.port, &TimerService::OnSecond);
    Schedule(tick_);
    Schedule(second_);
}

TimerService::~TimerService() {
    HxPortDetach(tick_.port, &TimerService::OnTick);
    HxPortDetach(second_.port, &TimerService::OnSecond);
    live_ = nullptr;
}

void TimerService::Schedule(Timer& timer) {
    timer.next_due = HxNow() + timer.period;
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kTick);
    record.time = static_cast<uint32_t>(timer.next_due);
    HxPortPost(timer.port, &record, static_cast<int32_t>(timer.period));
}

// Only our own pending post schedules the next one: a 30040 that someone else sends to a timer
// port reaches the module as any record does, but does not multiply the ticks.
void TimerService::Arrived(Timer& timer, EDict& record) {
    if (EDictGetType(&record) != code::kTick || HxNow() < timer.next_due) return;
    record.time = static_cast<uint32_t>(HxNow());  // the real clock may deliver late
    ++timer.count;
    Schedule(timer);
}

bool TimerService::OnTick(EDict* record) {
    if (live_ != nullptr && record != nullptr) Arrived(live_->tick_, *record);
    return false;
}

bool TimerService::OnSecond(EDict* record) {
    if (live_ != nullptr && record != nullptr) Arrived(live_->second_, *record);
    return false;
}

}  // namespace harbor
