// An owner of one message object of the mail service: the object is freed when its owner goes,
// on every path out of the scope that asked for it.
#ifndef WRENMAIL_CLIENTS_MAIL_OBJECT_H
#define WRENMAIL_CLIENTS_MAIL_OBJECT_H

#include <cstdint>

namespace wm {

class MailObject {
public:
    // Takes `handle` as the service answered it. A 0 (the service made no object) is freed like
    // any other, so the requests the module sends do not depend on the service's answers.
    explicit MailObject(uint32_t handle) : handle_(handle) {}
    // The moved-from owner frees nothing.
    MailObject(MailObject&& other) noexcept;
    MailObject(const MailObject&) = delete;
    MailObject& operator=(const MailObject&) = delete;
    MailObject& operator=(MailObject&&) = delete;
    ~MailObject();

    uint32_t Get() const { return handle_; }

private:
    uint32_t handle_;
    bool owned_ = true;
};

}  // namespace wm

#endif
