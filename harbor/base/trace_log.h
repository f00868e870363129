// Where trace lines go. Tracing is off until a sink is set; the record tracer and every service's
// notes ("not there", refused names, what a headless run did instead) write through here, so one
// switch turns the whole trace on and the lines come out in the order things happened.
#ifndef HARBOR_BASE_TRACE_LOG_H
#define HARBOR_BASE_TRACE_LOG_H

#include <functional>
#include <string>
#include <string_view>

namespace harbor {

class TraceLog {
public:
    using Sink = std::function<void(std::string_view line)>;

    static TraceLog& Instance();

    void SetSink(Sink sink) { sink_ = std::move(sink); }
    bool Enabled() const { return static_cast<bool>(sink_); }
    // One line, without its newline.
    void Write(std::string_view line) const;

    // Problems a user must hear of even without a trace (content that cannot be read, a scene
    // the module asks for that does not exist) also go here, once each.
    void SetProblemSink(Sink sink) { problem_sink_ = std::move(sink); }
    void Problem(std::string_view text) const;

private:
    Sink sink_;
    Sink problem_sink_;
};

// "[    1234] note    ResPort            text": a service's remark, stamped with the clock.
void TraceNote(std::string_view port, std::string_view text);

// A note that is also reported as a problem.
void ProblemNote(std::string_view port, std::string_view text);

// The clock column every trace line starts with.
std::string TraceClock(unsigned long long now_ms);

}  // namespace harbor

#endif
