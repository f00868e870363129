#include "base/trace_log.h"

#include <cstdio>

#include "hxmsg.h"

namespace harbor {

TraceLog& TraceLog::Instance() {
    static TraceLog log;
    return log;
}

void TraceLog::Write(std::string_view line) const {
    if (sink_) sink_(line);
}

void TraceLog::Problem(std::string_view text) const {
    if (problem_sink_) problem_sink_(text);
}

void ProblemNote(std::string_view port, std::string_view text) {
    TraceNote(port, text);
    TraceLog::Instance().Problem(text);
}

std::string TraceClock(unsigned long long now_ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "[%8llu]", now_ms);
    return buffer;
}

void TraceNote(std::string_view port, std::string_view text) {
    TraceLog& log = TraceLog::Instance();
    if (!log.Enabled()) return;
    char head[64];
    std::snprintf(head, sizeof head, " %-7s %-18.*s ", "note", static_cast<int>(port.size()), port.data());
    std::string line = TraceClock(static_cast<unsigned long long>(HxNow()));
    line += head;
    line += text;
    log.Write(line);
}

}  // namespace harbor
