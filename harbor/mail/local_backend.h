// The embedded post office as the mail service's back end: accounts of this computer, mail
// delivered between them at once.
#ifndef HARBOR_MAIL_LOCAL_BACKEND_H
#define HARBOR_MAIL_LOCAL_BACKEND_H

#include "mail/mail_backend.h"

namespace harbor {

class LocalBackend : public MailBackend {
public:
    explicit LocalBackend(PostOffice& office) : office_(office) {}

    bool Reachable() const override { return office_.Ready(); }
    SignInAnswer SignIn(const std::string& name, const std::string& password) override;
    // Mail spooled while the office could not deliver it goes now.
    void Opened(const std::string&) override { office_.DeliverSpool(); }
    std::optional<WaitingMail> Next(const std::string& account) override { return office_.Next(account); }
    bool Acknowledge(const WaitingMail& mail) override { return office_.Acknowledge(mail); }
    bool Submit(const std::string& sender, std::string_view message, const std::vector<std::string>& recipients) override;
    void Deliver() override { office_.DeliverSpool(); }
    void MarkNextSubmit(std::string mark) override { office_.MarkNextSubmit(std::move(mark)); }
    std::vector<std::string> SpooledMarks() const override { return office_.SpooledMarks(); }
    uint64_t WaitingBytes(const std::string& account) override { return office_.WaitingBytes(account); }

private:
    PostOffice& office_;
};

}  // namespace harbor

#endif
