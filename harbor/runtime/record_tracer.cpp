#include "runtime/record_tracer.h"
#include "message_codes.h"

#include <cstdio>

#include "hxmsg.h"
#include "base/atoms.h"
#include "runtime/record_format.h"
#include "base/trace_log.h"

namespace harbor {

namespace {

std::string EventName(int event, int32_t delay) {
    switch (event) {
        case HxTraceSend: return "send";
        case HxTracePost: return "post+" + std::to_string(delay);
        case HxTraceDeliver: return "deliver";
        default: return "event" + std::to_string(event);
    }
}


}  // namespace

RecordTracer::RecordTracer(bool include_timers)
    : include_timers_(include_timers), tick_port_(AtomOf("TimerPortTick")), seconds_port_(AtomOf("TimerPortSeconds")) {
    HxSetTraceHook(&RecordTracer::Hook, this);
}

RecordTracer::~RecordTracer() { HxSetTraceHook(nullptr, nullptr); }

std::string RecordTracer::Line(int event, uint16_t port, const EDict& record, int32_t delay, uint64_t now) {
    std::string port_name = KnownName(port);
    if (port_name.empty()) port_name = "#" + std::to_string(port);
    char columns[96];
    std::snprintf(columns, sizeof columns, " %-7s %-18s ", EventName(event, delay).c_str(), port_name.c_str());
    return TraceClock(static_cast<unsigned long long>(now)) + columns + FormatRecord(record);
}

void RecordTracer::Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user) {
    auto* self = static_cast<RecordTracer*>(user);
    if (record == nullptr || self == nullptr) return;
    // Canvas picture requests go out at every tick too (canvas/canvas_sprites.h).
    const bool periodic = port == self->tick_port_ || port == self->seconds_port_ || record->type == code::kDraw;
    if (!self->include_timers_ && periodic) return;
    TraceLog::Instance().Write(Line(event, port, *record, delay, HxNow()));
}

}  // namespace harbor
