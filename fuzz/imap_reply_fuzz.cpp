// What an IMAP server says, as the transfer library hands it over: any bytes must give a reply,
// never a crash, and every message text read must lie within the bytes given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mail/imap_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view stream(reinterpret_cast<const char*>(data), size);
    const harbor::ImapReply reply = harbor::ReadImapReply(stream);
    for (const harbor::ImapMessage& m : reply.messages) {
        if (m.uid == 0 || m.text.size() > size) std::abort();
        if (m.has_text && stream.find(m.text) == std::string_view::npos) std::abort();
        // An arrival date becomes a Date header only in its one shape: never longer, never a line break.
        const std::string date = harbor::MessageDateOf(m.internal_date);
        if (date.size() > m.internal_date.size() || date.find_first_of("\r\n") != std::string::npos) std::abort();
    }
    if (!harbor::MessageDateOf(stream).empty() && size != 26) std::abort();
    return 0;
}
