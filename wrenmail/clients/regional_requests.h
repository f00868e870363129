// Requests to the host's regional service on RegionalPort: the current date and formatted dates.
// A date is the service's own 32-bit date value; the module only passes it along.
#ifndef WRENMAIL_CLIENTS_REGIONAL_REQUESTS_H
#define WRENMAIL_CLIENTS_REGIONAL_REQUESTS_H

#include <cstdint>

namespace wm {

// The current date and time; 0 when the service does not answer.
uint32_t RegionalNow();
// The service writes the date's text into the caller's buffer of `size` bytes; the short form
// when `shortForm` is set.
void RegionalFormatDate(uint32_t date, char* buffer, int32_t size, bool shortForm);

}  // namespace wm

#endif
