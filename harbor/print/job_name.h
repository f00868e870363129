// The file name of a printed job: "<date>-<subject>.pdf", safe on any file system: the date as
// YYYY-MM-DD, the subject's letters, digits, '-' and '_' kept, every other run of characters one
// '_', at most 60 characters, "letter" when nothing is left.
#ifndef HARBOR_PRINT_JOB_NAME_H
#define HARBOR_PRINT_JOB_NAME_H

#include <cstdint>
#include <string>
#include <string_view>

namespace harbor {

std::string SafeSubject(std::string_view subject);
// `local` breaks the date down in the local time zone, else in UTC.
std::string JobDate(uint32_t seconds, bool local);
// The stem without ".pdf": "2026-12-05-Hello_there"; `copy` above 1 adds "-<copy>".
std::string JobFileStem(uint32_t seconds, bool local, std::string_view subject, int copy = 1);

}  // namespace harbor

#endif
