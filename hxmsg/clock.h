// The messaging clock in milliseconds: deterministic (moved by hand) or real (a steady clock).
#ifndef WRENMAIL_HXMSG_CLOCK_H
#define WRENMAIL_HXMSG_CLOCK_H

#include <chrono>
#include <cstdint>
#include <optional>

namespace hxmsg {

class Clock {
public:
    uint64_t Now() const;
    bool IsReal() const { return real_; }
    // Switching either way carries the current time over, so time never goes backwards.
    void SetReal(bool real);
    // Deterministic clock only: moves time forward to `ms`; never moves it back.
    void AdvanceTo(uint64_t ms);
    // Real clock only: holds Now() at one reading while a batch of posts is delivered, so posts
    // made during the batch measure their delay from the time the batch is delivered at.
    void Hold(uint64_t ms) { held_ = ms; }
    void Release() { held_.reset(); }
    void Reset();

private:
    using Steady = std::chrono::steady_clock;

    bool real_ = false;
    uint64_t manual_ms_ = 0;      // the deterministic time
    uint64_t real_base_ms_ = 0;   // the time when the real clock was switched on
    Steady::time_point real_origin_{};
    std::optional<uint64_t> held_;
};

} // namespace hxmsg

#endif
