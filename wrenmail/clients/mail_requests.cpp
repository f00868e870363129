#include "clients/mail_requests.h"

#include "hxmsg.h"
#include "message_codes.h"
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

EDict ManagerRequest(uint16_t type, uint32_t manager) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    EDictPutHandle(&record, atoms::mail::Manager, manager);
    return record;
}

uint32_t HandleOf(const EDict& record, uint16_t key) {
    return static_cast<uint32_t>(EDictGetLong(&record, key));
}

// Statuses from 400 on refuse the user.
constexpr int32_t kFirstRefusal = 400;

}  // namespace

bool SignedIn(const SignInAnswer& answer) {
    return answer.manager != 0 && answer.success && answer.status < kFirstRefusal;
}

SignInAnswer MailSignIn(const char* userName, const char* password) {
    EDict record = ManagerRequest(code::kOpen, 0);
    EDictPutText(&record, atoms::mail::Username, userName);
    EDictPutText(&record, atoms::mail::Password, password);
    HxPortSend(atoms::mail::MailPort, &record);
    SignInAnswer answer;
    answer.manager = HandleOf(record, atoms::mail::Manager);
    answer.status = EDictGetLong(&record, atoms::mail::Status);
    answer.success = EDictGetLong(&record, atoms::mail::Success) > 0;
    return answer;
}

void MailSignOut(uint32_t manager) {
    EDict record = ManagerRequest(code::kClose, manager);
    HxPortSend(atoms::mail::MailPort, &record);
}

uint32_t MailNextMessage(uint32_t manager) {
    EDict record = ManagerRequest(code::kFetchNext, manager);
    HxPortSend(atoms::mail::MailPort, &record);
    return HandleOf(record, atoms::mail::Message);
}

bool MailSendMessage(uint32_t manager, uint32_t message) {
    EDict record = ManagerRequest(code::kSendMessage, manager);
    EDictPutHandle(&record, atoms::mail::Message, message);
    HxPortSend(atoms::mail::MailPort, &record);
    return EDictGetLong(&record, atoms::mail::Success) > 0;
}

uint32_t MailNewPart() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kCreate);
    EDictPutHandle(&record, atoms::mail::Part, 0);
    HxPortSend(atoms::mail::MailPort, &record);
    return HandleOf(record, atoms::mail::Part);
}

void MailAddPart(uint32_t message, uint32_t part) {
    EDict record = MessageRequest(code::kAddPart, message);
    EDictPutHandle(&record, atoms::mail::Part, part);
    HxPortSend(atoms::mail::MailPort, &record);
}

uint32_t MailGetPart(uint32_t message, int32_t index) {
    EDict record = MessageRequest(code::kGet, message);
    EDictPutLong(&record, atoms::mail::Index, index);
    EDictPutHandle(&record, atoms::mail::Part, 0);
    HxPortSend(atoms::mail::MailPort, &record);
    return HandleOf(record, atoms::mail::Part);
}

uint32_t MailNewMessage(const char* data) {
    EDict record = MessageRequest(code::kCreate, 0);
    if (data != nullptr) {
        EDictPutText(&record, atoms::mail::Data, data);
    }
    HxPortSend(atoms::mail::MailPort, &record);
    return HandleOf(record, atoms::mail::Message);
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
