// Which text of a message is shown, read back for a reply or printed.
#ifndef WRENMAIL_STORE_MESSAGE_BODY_H
#define WRENMAIL_STORE_MESSAGE_BODY_H

#include <cstdint>

namespace wm {

inline constexpr const char* kRichContentType = "text/wrenmail";
inline constexpr const char* kPlainContentType = "text/plain";

// The body of the first "text/wrenmail" part (with `isRich` set to 1), else of the first
// "text/plain" part, else the message's own body; types match exactly, letter case included. The
// text belongs to the mail service.
const char* SelectMessageBody(uint32_t message, uint8_t* isRich);

}  // namespace wm

#endif
