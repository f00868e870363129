#include "store/mail_id.h"

#include <cstring>
#include <string>

namespace wm {

void ExtractMailId(char* buffer) {
    if (buffer == nullptr) {
        return;
    }
    // strtok semantics: leading delimiters are skipped, so "<id>" yields one token only.
    std::string copy(buffer);
    char* position = nullptr;
    const char* first = strtok_r(copy.data(), "<", &position);
    const char* second = first != nullptr ? strtok_r(nullptr, ">", &position) : nullptr;
    if (second != nullptr) {
        std::memmove(buffer, second, std::strlen(second) + 1);
    }
    if (std::strlen(buffer) > kMaxMailId) {
        buffer[kMaxMailId] = '\0';
    }
}

}  // namespace wm
