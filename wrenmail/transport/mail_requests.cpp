#include "transport/mail_requests.h"

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

// A request about one object, which the record names first.
EDict MessageRequest(uint16_t type, uint32_t message) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    EDictPutHandle(&record, atoms::mail::Message, message);
    return record;
}

}  // namespace

uint32_t MailNewMessage(const char* data) {
    EDict record = MessageRequest(code::kCreate, 0);
    if (data != nullptr) {
        EDictPutText(&record, atoms::mail::Data, data);
    }
    HxPortSend(atoms::mail::MailPort, &record);
    return static_cast<uint32_t>(EDictGetLong(&record, atoms::mail::Message));
}

void MailFree(uint32_t message) {
    EDict record = MessageRequest(code::kDelete, message);
    HxPortSend(atoms::mail::MailPort, &record);
}

const char* MailGetText(uint32_t message, uint16_t key) {
    EDict record = MessageRequest(code::kGet, message);
    EDictPutText(&record, key, nullptr);
    HxPortSend(atoms::mail::MailPort, &record);
    return EDictGetText(&record, key);
}

int32_t MailGetLong(uint32_t message, uint16_t key) {
    EDict record = MessageRequest(code::kGet, message);
    EDictPutLong(&record, key, 0);
    HxPortSend(atoms::mail::MailPort, &record);
    return EDictGetLong(&record, key);
}

void MailSetText(uint32_t message, uint16_t key, const char* text) {
    EDict record = MessageRequest(code::kSet, message);
    EDictPutText(&record, key, text);
    HxPortSend(atoms::mail::MailPort, &record);
}

void MailSetLong(uint32_t message, uint16_t key, int32_t value) {
    EDict record = MessageRequest(code::kSet, message);
    EDictPutLong(&record, key, value);
    HxPortSend(atoms::mail::MailPort, &record);
}

}  // namespace wm
