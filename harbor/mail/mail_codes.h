// The message codes of MailPort and RASPort. The same code means different things on different
// ports; the keys carry the objects.
#ifndef HARBOR_MAIL_MAIL_CODES_H
#define HARBOR_MAIL_MAIL_CODES_H

#include <cstdint>

namespace harbor::mail_code {

inline constexpr uint16_t kAddPart = 30001;    // MailPort
inline constexpr uint16_t kClose = 30003;      // MailPort: sign out; RASPort: hang up
inline constexpr uint16_t kFree = 30004;       // MailPort
inline constexpr uint16_t kGet = 30011;        // MailPort: properties, a part
inline constexpr uint16_t kQuery = 30049;      // RASPort: is there a connection manager?
inline constexpr uint16_t kSet = 30052;        // MailPort: properties
inline constexpr uint16_t kOpen = 30062;       // MailPort: sign in; RASPort: dial
inline constexpr uint16_t kCreate = 30080;     // MailPort: a message or a part
inline constexpr uint16_t kNext = 30090;       // MailPort: the next waiting message
inline constexpr uint16_t kSend = 30091;       // MailPort
inline constexpr uint16_t kDialed = 30092;     // to the notify port: the dial's outcome
inline constexpr uint16_t kLineDropped = 30093;  // to the notify port

}  // namespace harbor::mail_code

#endif
