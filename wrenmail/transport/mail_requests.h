// Requests to the host's mail service on MailPort about message and part objects. Objects are
// handles of the service (0: none); a part is addressed like a message, under "Message". Texts the
// service answers stay its own and live until the object or that field changes.
#ifndef WRENMAIL_TRANSPORT_MAIL_REQUESTS_H
#define WRENMAIL_TRANSPORT_MAIL_REQUESTS_H

#include <cstdint>

namespace wm {

// A new message object, from the stored text `data` when it is not null; 0 when none was made.
uint32_t MailNewMessage(const char* data);
// Releases a message or part object.
void MailFree(uint32_t message);
// The text property `key` (an atom); null when the service answers none.
const char* MailGetText(uint32_t message, uint16_t key);
int32_t MailGetLong(uint32_t message, uint16_t key);
void MailSetText(uint32_t message, uint16_t key, const char* text);
void MailSetLong(uint32_t message, uint16_t key, int32_t value);

}  // namespace wm

#endif
