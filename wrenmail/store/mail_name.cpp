#include "store/mail_name.h"

namespace wm {
namespace {

// ASCII only, whatever the locale: bytes above 127 never pass.
bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

bool IsValidMailName(const char* name) {
    for (const char* c = name; c != nullptr && *c != '\0'; ++c) {
        if (!IsNameCharacter(*c)) {
            return false;
        }
    }
    return true;
}

}  // namespace wm
