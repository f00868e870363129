// Reads what an IMAP server said during one command, as the transfer library hands it over:
// every response line, and the literals (message texts) inside them byte for byte. Takes the
// mailbox's UIDVALIDITY from SELECT, the UIDs from SEARCH, and the messages from FETCH.
#ifndef HARBOR_MAIL_IMAP_REPLY_H
#define HARBOR_MAIL_IMAP_REPLY_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

struct ImapMessage {
    uint32_t uid = 0;
    uint64_t size = 0;      // RFC822.SIZE, when asked for
    std::string internal_date;  // INTERNALDATE as the server wrote it, when asked for
    std::string text;       // BODY[] / BODY.PEEK[], when asked for
    bool has_text = false;
};

struct ImapReply {
    uint32_t uidvalidity = 0;
    uint32_t exists = 0;  // messages in the mailbox, from SELECT
    std::vector<uint32_t> search;
    std::vector<ImapMessage> messages;  // in the order the server sent them
};

// Never fails: what cannot be read is left out (a message without a UID is dropped, and so is
// one whose literal is not followed by the rest of its FETCH item, as when bytes went missing).
ImapReply ReadImapReply(std::string_view stream);

// An IMAP date-time ("06-Dec-2026 06:04:40 +0000", the day may start with a space) as a
// message's Date header wants it ("6 Dec 2026 06:04:40 +0000"); empty when it is not one.
std::string MessageDateOf(std::string_view internal_date);

}  // namespace harbor

#endif
