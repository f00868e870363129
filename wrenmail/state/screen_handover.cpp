#include "state/screen_handover.h"

#include <cstring>

#include "clients/mail_requests.h"

namespace wm {
namespace {

ScreenHandover g_handover;

}  // namespace

ScreenHandover& Handover() {
    return g_handover;
}

void FreeCurrentMessage() {
    if (g_handover.current_message != 0) {
        MailFree(g_handover.current_message);
        g_handover.current_message = 0;
    }
}

void SetReplyText(char (&buffer)[kReplyTextSize], const char* text) {
    const std::size_t length = text == nullptr ? 0 : strnlen(text, kReplyTextSize - 1);
    if (length > 0) {
        std::memcpy(buffer, text, length);
    }
    buffer[length] = '\0';
}

}  // namespace wm
