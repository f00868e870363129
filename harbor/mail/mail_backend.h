// The mail service's back end: where sign-in is checked, where fetched mail comes from and where
// sent mail goes. The embedded post office (local_backend.h) is the default; a real IMAP and SMTP
// server (remote_backend.h) is used when the data root names one (server_settings.h).
#ifndef HARBOR_MAIL_MAIL_BACKEND_H
#define HARBOR_MAIL_MAIL_BACKEND_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/post_office.h"

namespace harbor {

struct SignInAnswer {
    enum class Kind { Unreachable, Refused, Accepted };
    Kind kind = Kind::Unreachable;
    std::string account;  // the account signed in (Accepted)
    std::string why;      // for the trace (Refused, Unreachable); never holds the password
};

class MailBackend {
public:
    virtual ~MailBackend() = default;

    // False when no mail can move at all (no data root, the spool cannot be written).
    virtual bool Reachable() const = 0;
    virtual SignInAnswer SignIn(const std::string& name, const std::string& password) = 0;
    // A manager was made for the account (sign-in accepted and the disk has room).
    virtual void Opened(const std::string& account) { (void)account; }
    // The account's oldest message not yet fetched and not in flight; in flight from now on.
    virtual std::optional<WaitingMail> Next(const std::string& account) = 0;
    // The receiver stored the message: it counts as fetched.
    virtual bool Acknowledge(const WaitingMail& mail) = 0;
    // Puts the message into the durable spool for its recipients; true once it is on disk.
    virtual bool Submit(const std::string& sender, std::string_view message, const std::vector<std::string>& recipients) = 0;
    // What was just submitted may go on now (the mail service has noted it as spooled first).
    virtual void Deliver() {}
    // The next Submit's spooled letter carries this mark (the mail service's note of the letter);
    // SpooledMarks reads back the marks of what is still spooled, so that a crash between spooling
    // and the mail service's own note still finds the letter spooled.
    virtual void MarkNextSubmit(std::string mark) { (void)mark; }
    virtual std::vector<std::string> SpooledMarks() const { return {}; }
    // Bytes the account's waiting mail will take on disk, as far as is known.
    virtual uint64_t WaitingBytes(const std::string& account) = 0;
    // Lets network work in flight finish (headless runs, before the clock moves on).
    virtual void FinishInFlight() {}
};

}  // namespace harbor

#endif
