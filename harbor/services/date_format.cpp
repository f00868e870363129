#include "services/date_format.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace harbor {

namespace {

constexpr std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",
                                                 "May",     "June",     "July",      "August",
                                                 "September", "October", "November", "December"};

std::tm BreakDown(uint32_t seconds, bool local) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (local) {
        localtime_r(&t, &parts);
    } else {
        gmtime_r(&t, &parts);
    }
    return parts;
}

}  // namespace

std::string FormatDate(uint32_t seconds, DateForm form, bool local) {
    const std::tm t = BreakDown(seconds, local);
    char buffer[96];
    if (form == DateForm::Short) {
        std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d", t.tm_mon + 1, t.tm_mday, t.tm_year % 100);
    } else {
        int hour = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
        std::snprintf(buffer, sizeof buffer, "%s, %s %d, %d %d:%02d %s", kWeekdays[static_cast<std::size_t>(t.tm_wday) % 7],
                      kMonths[static_cast<std::size_t>(t.tm_mon) % 12], t.tm_mday, t.tm_year + 1900, hour, t.tm_min,
                      t.tm_hour < 12 ? "AM" : "PM");
    }
    return buffer;
}

void CopyBounded(const std::string& text, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

}  // namespace harbor
