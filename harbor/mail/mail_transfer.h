// One IMAP or SMTP exchange with a real server through libcurl: TLS verified against the system's
// trust store or the configured CA file, plain connections only to loopback, bounded times
// everywhere. Passwords live in memory only; curl's own trace is never turned on.
#ifndef HARBOR_MAIL_MAIL_TRANSFER_H
#define HARBOR_MAIL_MAIL_TRANSFER_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mail/server_settings.h"

namespace harbor {

struct Credentials {
    std::string login;
    std::string password;
};

struct TransferResult {
    // TimedOut: the server took the connection and then stopped answering.
    enum class Outcome { Done, Refused, Unreachable, TimedOut, Failed };
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

// One IMAP connection kept across commands: the first command connects and signs in, later ones
// run on the same connection (no new TLS handshake or login per batch). When a kept connection
// turns out to be dead, the command is tried once more on a fresh one. One thread at a time.
class ImapSession {
public:
    ImapSession(const ServerSettings& server, Credentials who);
    ~ImapSession();
    ImapSession(const ImapSession&) = delete;
    ImapSession& operator=(const ImapSession&) = delete;

    // Runs `command` (empty: NOOP) in `mailbox` (empty: none); `seconds` bounds the whole answer.
    TransferResult Command(const std::string& mailbox, const std::string& command, long seconds = 0);
    // The whole text of one message, by the mailbox's UID (for a message too large for a batch).
    TransferResult MessageText(const std::string& mailbox, uint32_t uid);
    // Connections made so far (1 when every command shared one).
    long Connections() const { return connections_; }

private:
    TransferResult Perform(const std::string& address, const char* command, long seconds, bool body);

    ServerSettings server_;
    Credentials who_;
    struct Handle;
    std::unique_ptr<Handle> handle_;
    long connections_ = 0;
};

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
