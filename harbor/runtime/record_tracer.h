// Prints every record that crosses a port, one line each:
//   [    1234] send    AppPort            30013 NAME=ScCsSignIn
//   [    1234] post+320 HarborPort         30003
//   [    1554] deliver HarborPort         30003
// The timer ports carry a record every 16 ms, and each tick asks the canvas sprites for their
// pictures (30072); both are left out unless asked for, so a trace stays readable.
#ifndef HARBOR_RUNTIME_RECORD_TRACER_H
#define HARBOR_RUNTIME_RECORD_TRACER_H

#include <cstdint>
#include <string>

#include "edict.h"

namespace harbor {

class RecordTracer {
public:
    explicit RecordTracer(bool include_timers);
    ~RecordTracer();
    RecordTracer(const RecordTracer&) = delete;
    RecordTracer& operator=(const RecordTracer&) = delete;

    // The line for one event (HxTraceSend, HxTracePost, HxTraceDeliver).
    static std::string Line(int event, uint16_t port, const EDict& record, int32_t delay, uint64_t now);

private:
    static void Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user);

    bool include_timers_;
    uint16_t tick_port_;
    uint16_t seconds_port_;
};

}  // namespace harbor

#endif
