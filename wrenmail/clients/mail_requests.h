// Requests to the host's mail service on MailPort: signing in and out, fetching and sending, and
// the message and part objects. Objects are handles of the service (0: none); a part is addressed
// like a message, under "Message". Texts the service answers stay its own and live until the object
// or that field changes.
#ifndef WRENMAIL_CLIENTS_MAIL_REQUESTS_H
#define WRENMAIL_CLIENTS_MAIL_REQUESTS_H

#include <cstdint>

namespace wm {

// What the service answers a sign-in; keys it leaves out read as 0.
struct SignInAnswer {
    uint32_t manager = 0;
    int32_t status = 0;
    bool success = false;
};

// True when the answer signs the user in: a manager, success, and a status below 400.
bool SignedIn(const SignInAnswer& answer);

SignInAnswer MailSignIn(const char* userName, const char* password);
void MailSignOut(uint32_t manager);
// The next waiting message of the account, 0 when none is left.
uint32_t MailNextMessage(uint32_t manager);
// True when the service took the message.
bool MailSendMessage(uint32_t manager, uint32_t message);

// A new message object, from the stored text `data` when it is not null; 0 when none was made.
uint32_t MailNewMessage(const char* data);
uint32_t MailNewPart();
void MailAddPart(uint32_t message, uint32_t part);
// Releases a message object with the parts that belong to it (MailObject owns one). A part
// added to a message or answered by MailGetPart belongs to that message and is not freed alone.
void MailFree(uint32_t message);
// The text property `key` (an atom); null when the service answers none.
const char* MailGetText(uint32_t message, uint16_t key);
int32_t MailGetLong(uint32_t message, uint16_t key);
// The part at the zero-based index, 0 when there is none.
uint32_t MailGetPart(uint32_t message, int32_t index);
void MailSetText(uint32_t message, uint16_t key, const char* text);
void MailSetLong(uint32_t message, uint16_t key, int32_t value);

}  // namespace wm

#endif
