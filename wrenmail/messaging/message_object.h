// A message record owned by an object, with the record operations as virtual functions. The
// slot order below is the one the data dictionary reader was built against; keep it.
#ifndef WRENMAIL_MESSAGING_MESSAGE_OBJECT_H
#define WRENMAIL_MESSAGING_MESSAGE_OBJECT_H

#include <cstdint>

#include "edict.h"

namespace wm {

class MessageObject {
public:
    explicit MessageObject(uint16_t type);
    MessageObject(const MessageObject&) = delete;
    MessageObject& operator=(const MessageObject&) = delete;

    virtual ~MessageObject();
    virtual uint16_t GetShort(uint16_t key);
    virtual int32_t GetLong(uint16_t key);
    virtual float GetFloat(uint16_t key);
    virtual uint32_t GetPointer(uint16_t key);
    virtual uint32_t GetText(uint16_t key);
    virtual bool HasKey(uint16_t key);
    virtual bool GetBool(uint16_t key);
    virtual uint32_t GetHandle(uint16_t key);
    virtual void SetType(uint16_t type);
    virtual bool PutShort(uint16_t key, uint16_t value);
    virtual bool PutLong(uint16_t key, int32_t value);
    virtual bool PutFloat(uint16_t key, float value);
    virtual bool PutText(uint16_t key, const char* text);
    virtual bool PutHandle(uint16_t key, uint32_t handle);
    virtual bool PutPointer(uint16_t key, const void* address);
    virtual bool PutBool(uint16_t key, bool value);
    virtual bool Remove(uint16_t key);
    // Sends when mode is -1, else posts with the mode as delay.
    virtual void Deliver(uint16_t port, int32_t mode);
    virtual void Send(uint16_t port);
    virtual void Reserved();

    EDict* Record() { return &record_; }

private:
    EDict record_;
};

// The reader's open and bind requests.
class ResourceRequest : public MessageObject {
public:
    using MessageObject::MessageObject;
    ~ResourceRequest() override;
};

// The reader's release of a resource.
class ReleaseRequest : public MessageObject {
public:
    using MessageObject::MessageObject;
    ~ReleaseRequest() override;
};

}  // namespace wm

#endif
