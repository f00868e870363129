#include "messaging/message_object.h"

#include "messaging/request_builders.h"
#include "hxmsg.h"

namespace wm {

MessageObject::MessageObject(uint16_t type) {
    EDictClear(&record_);
    EDictSetType(&record_, type);
}

MessageObject::~MessageObject() = default;

uint16_t MessageObject::GetShort(uint16_t key) {
    return EDictGetShort(&record_, key);
}

int32_t MessageObject::GetLong(uint16_t key) {
    return EDictGetLong(&record_, key);
}

float MessageObject::GetFloat(uint16_t key) {
    return EDictGetFloat(&record_, key);
}

uint32_t MessageObject::GetPointer(uint16_t key) {
    return static_cast<uint32_t>(EDictGetLong(&record_, key));
}

uint32_t MessageObject::GetText(uint16_t key) {
    return static_cast<uint32_t>(EDictGetLong(&record_, key));
}

bool MessageObject::HasKey(uint16_t key) {
    return EDictHasKey(&record_, key);
}

bool MessageObject::GetBool(uint16_t key) {
    return EDictGetBool(&record_, key);
}

uint32_t MessageObject::GetHandle(uint16_t key) {
    return static_cast<uint32_t>(EDictGetLong(&record_, key));
}

void MessageObject::SetType(uint16_t type) {
    EDictSetType(&record_, type);
}

bool MessageObject::PutShort(uint16_t key, uint16_t value) {
    return EDictPutShort(&record_, key, value);
}

bool MessageObject::PutLong(uint16_t key, int32_t value) {
    return EDictPutLong(&record_, key, value);
}

bool MessageObject::PutFloat(uint16_t key, float value) {
    return EDictPutFloat(&record_, key, value);
}

bool MessageObject::PutText(uint16_t key, const char* text) {
    return EDictPutText(&record_, key, text);
}

bool MessageObject::PutHandle(uint16_t key, uint32_t handle) {
    return EDictPutHandle(&record_, key, handle);
}

bool MessageObject::PutPointer(uint16_t key, const void* address) {
    return EDictPutPointer(&record_, key, address);
}

bool MessageObject::PutBool(uint16_t key, bool value) {
    return EDictPutBool(&record_, key, value);
}

bool MessageObject::Remove(uint16_t key) {
    return EDictRemove(&record_, key);
}

void MessageObject::Deliver(uint16_t port, int32_t mode) {
    wm::Deliver(port, &record_, mode);
}

void MessageObject::Send(uint16_t port) {
    HxPortSend(port, &record_);
}

void MessageObject::Reserved() {}

ResourceRequest::~ResourceRequest() = default;
ReleaseRequest::~ReleaseRequest() = default;

}  // namespace wm
