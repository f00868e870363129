#include "print/job_name.h"

#include <cstdio>
#include <ctime>

namespace harbor {

namespace {

constexpr std::size_t kMaxSubject = 60;

bool Kept(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

std::string SafeSubject(std::string_view subject) {
    std::string safe;
    bool gap = false;
    for (char c : subject) {
        if (!Kept(c)) {
            gap = true;
            continue;
        }
        if (gap && !safe.empty()) safe += '_';
        gap = false;
        if (safe.size() >= kMaxSubject) break;
        safe += c;
    }
    if (safe.size() > kMaxSubject) safe.resize(kMaxSubject);
    // A leading '-' would read as an option to the printer command and to shell tools.
    while (!safe.empty() && safe.front() == '-') safe.erase(safe.begin());
    return safe.empty() ? std::string("letter") : safe;
}

std::string JobDate(uint32_t seconds, bool local) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (local) {
        localtime_r(&when, &parts);
    } else {
        gmtime_r(&when, &parts);
    }
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
    return text;
}

std::string JobFileStem(uint32_t seconds, bool local, std::string_view subject, int copy) {
    std::string stem = JobDate(seconds, local) + "-" + SafeSubject(subject);
    if (copy > 1) stem += "-" + std::to_string(copy);
    return stem;
}

}  // namespace harbor
