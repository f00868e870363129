// One IMAP or SMTP exchange with a real server through libcurl: TLS verified against the system's
// trust store or the configured CA file, plain connections only to loopback, bounded times
// everywhere. Passwords live in memory only; curl's own trace is never turned on.
#ifndef HARBOR_MAIL_MAIL_TRANSFER_H
#define HARBOR_MAIL_MAIL_TRANSFER_H

#include <cstdint>
#include <string>
#include <vector>

#include "mail/server_settings.h"

namespace harbor {

struct Credentials {
    std::string login;
    std::string password;
};

struct TransferResult {
    enum class Outcome { Done, Refused, Unreachable, Failed };
    Outcome outcome = Outcome::Failed;
    long response = 0;   // the server's last response code (SMTP)
    std::string error;   // for the trace
    std::string stream;  // IMAP: every line the server sent, literals included
    bool Permanent() const { return response >= 500 && response < 600; }
};

// Seconds allowed to connect (TCP and TLS) and for a whole exchange.
inline constexpr long kConnectSeconds = 6;
inline constexpr long kExchangeSeconds = 60;
inline constexpr long kStallSeconds = 8;  // no byte moved for this long: the server is gone
inline constexpr long kSignInSeconds = 9;
inline constexpr long kReceiveBuffer = 512L * 1024;  // sign-in waits at most this long for the answer

// Signs in to the IMAP server and runs `command` (empty: NOOP) in `mailbox` (empty: none).
TransferResult ImapCommand(const ServerSettings& server, const Credentials& who, const std::string& mailbox,
                           const std::string& command);
// The whole text of one message, by the mailbox's UID (for a message too large for a batch).
TransferResult ImapMessageText(const ServerSettings& server, const Credentials& who, const std::string& mailbox,
                               uint32_t uid);
// Appends a message to the mailbox (a letter the service itself writes into a sender's INBOX).
TransferResult ImapAppend(const ServerSettings& server, const Credentials& who, const std::string& mailbox,
                          const std::string& message);
// Submits the message (CRLF line ends) from `from` to `recipients`, with AUTH.
TransferResult SmtpSubmit(const ServerSettings& server, const Credentials& who, const std::string& from,
                          const std::vector<std::string>& recipients, const std::string& message);

// The message with every line ending in CRLF, as SMTP wants it.
std::string WithCrlf(const std::string& text);

}  // namespace harbor

#endif
