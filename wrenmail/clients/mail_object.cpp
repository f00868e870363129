#include "clients/mail_object.h"

#include "clients/mail_requests.h"

namespace wm {

MailObject::MailObject(MailObject&& other) noexcept : handle_(other.handle_) {
    other.owned_ = false;
}

MailObject::~MailObject() {
    if (owned_) {
        MailFree(handle_);
    }
}

}  // namespace wm
