// The timers: 30040 to TimerPortTick every kTickMs and to TimerPortSeconds every second, each
// record's time word set to the clock. Every tick is a post that, once delivered, posts the next,
// so moving the clock delivers ticks in order with everything else that falls due.
#ifndef HARBOR_SERVICES_TIMER_SERVICE_H
#define HARBOR_SERVICES_TIMER_SERVICE_H

#include <cstdint>

#include "edict.h"

namespace harbor {

inline constexpr uint32_t kTickMs = 16;
inline constexpr uint32_t kSecondMs = 1000;

class TimerService {
public:
    // Attaches to both timer ports (before the module does, so each record is stamped before the
    // module sees it) and posts the first tick and second.
    TimerService();
    ~TimerService();
    TimerService(const TimerService&) = delete;
    TimerService& operator=(const TimerService&) = delete;

    uint64_t Ticks() const { return tick_.count; }
    uint64_t Seconds() const { return second_.count; }

private:
    struct Timer {
        uint16_t port;
        uint32_t period;
        uint64_t next_due;  // the due time of the one post this timer has pending
        uint64_t count;
    };

    static bool OnTick(EDict* record);
    static bool OnSecond(EDict* record);
    static void Arrived(Timer& timer, EDict& record);
    static void Schedule(Timer& timer);

    static TimerService* live_;  // HxHandler carries no context: one live instance
    Timer tick_;
    Timer second_;
};

}  // namespace harbor

#endif
