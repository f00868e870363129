#include "store/message_body.h"

#include <cstring>

#include "messaging/name_atoms.h"
#include "clients/mail_requests.h"

namespace wm {
namespace {

// The first part of the given content type, 0 when none has it.
uint32_t FindPart(uint32_t message, int32_t parts, const char* contentType) {
    for (int32_t index = 0; index < parts; ++index) {
        const uint32_t part = MailGetPart(message, index);
        if (part == 0) {
            continue;
        }
        const char* type = MailGetText(part, atoms::mail::ContentType);
        if (type != nullptr && std::strcmp(type, contentType) == 0) {
            return part;
        }
    }
    return 0;
}

}  // namespace

const char* SelectMessageBody(uint32_t message, uint8_t* isRich) {
    *isRich = 0;
    const int32_t parts = MailGetLong(message, atoms::mail::Parts);
    if (const uint32_t rich = FindPart(message, parts, kRichContentType)) {
        *isRich = 1;
        return MailGetText(rich, atoms::mail::Body);
    }
    if (const uint32_t plain = FindPart(message, parts, kPlainContentType)) {
        return MailGetText(plain, atoms::mail::Body);
    }
    return MailGetText(message, atoms::mail::Body);
}

}  // namespace wm
