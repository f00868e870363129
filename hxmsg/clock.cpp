#include "clock.h"

#include <algorithm>

namespace hxmsg {

uint64_t Clock::Now() const {
    if (!real_) return manual_ms_;
    if (held_) return *held_;
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - real_origin_);
    return real_base_ms_ + static_cast<uint64_t>(elapsed.count());
}

void Clock::SetReal(bool real) {
    if (real == real_) return;
    uint64_t now = Now();
    held_.reset();
    if (real) {
        real_base_ms_ = now;
        real_origin_ = Steady::now();
    } else {
        manual_ms_ = now;
    }
    real_ = real;
}

void Clock::AdvanceTo(uint64_t ms) {
    if (!real_) manual_ms_ = std::max(manual_ms_, ms);
}

void Clock::Reset() {
    real_ = false;
    manual_ms_ = 0;
    held_.reset();
}

} // namespace hxmsg
