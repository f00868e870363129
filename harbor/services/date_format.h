// Regional dates: seconds since 1970 (UTC) as 32 bits, and their two printed forms.
//   short: "12/05/26"                              month/day/year, two digits each
//   long:  "Saturday, December 5, 2026 4:46 PM"    weekday, month day, year, 12-hour time
#ifndef HARBOR_SERVICES_DATE_FORMAT_H
#define HARBOR_SERVICES_DATE_FORMAT_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace harbor {

// The date a deterministic clock starts from: Saturday 5 December 2026, 16:46:00 UTC.
inline constexpr uint32_t kDeterministicEpoch = 1796489160;

enum class DateForm { Short, Long };

// `local` breaks the date down in the local time zone, else in UTC.
std::string FormatDate(uint32_t seconds, DateForm form, bool local);

// Copies `text` into a caller's buffer of `size` bytes: at most size - 1 characters and a NUL.
// Writes nothing when the buffer is null or size <= 0.
void CopyBounded(const std::string& text, char* buffer, int32_t size);

}  // namespace harbor

#endif
