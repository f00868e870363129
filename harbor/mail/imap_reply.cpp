#include "mail/imap_reply.h"

#include <charconv>

namespace harbor {

namespace {

// Reads the unsigned number at `pos`, moving past it; false when there is none or it overflows.
template <typename T>
bool ReadNumber(std::string_view s, std::size_t& pos, T& out) {
    const char* begin = s.data() + pos;
    const auto [end, ec] = std::from_chars(begin, s.data() + s.size(), out);
    if (ec != std::errc() || end == begin) return false;
    pos += static_cast<std::size_t>(end - begin);
    return true;
}

bool StartsWith(std::string_view s, std::size_t pos, std::string_view word) { return s.substr(pos, word.size()) == word; }

void SkipSpaces(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && s[pos] == ' ') ++pos;
}

std::size_t LineEnd(std::string_view s, std::size_t pos) {
    const std::size_t end = s.find('\n', pos);
    return end == std::string_view::npos ? s.size() : end;
}

// Reads the items of one "* n FETCH (" response from `pos` to the end of its last line.
std::size_t ReadFetch(std::string_view s, std::size_t pos, ImapReply& reply) {
    ImapMessage message;
    while (pos < s.size() && s[pos] != '\n') {
        SkipSpaces(s, pos);
        if (pos == s.size()) break;  // an answer that ends in spaces
        if (StartsWith(s, pos, "UID ")) {
            pos += 4;
            if (!ReadNumber(s, pos, message.uid)) message.uid = 0;
        } else if (StartsWith(s, pos, "INTERNALDATE \"")) {
            pos += 14;
            const std::size_t close = s.find('"', pos);
            if (close == std::string_view::npos || close > LineEnd(s, pos)) return LineEnd(s, pos);
            message.internal_date.assign(s.substr(pos, close - pos));
            pos = close + 1;
        } else if (StartsWith(s, pos, "RFC822.SIZE ")) {
            pos += 12;
            if (!ReadNumber(s, pos, message.size)) message.size = 0;
        } else if (s[pos] == '{') {
            ++pos;
            uint64_t size = 0;
            if (!ReadNumber(s, pos, size) || !StartsWith(s, pos, "}\r\n") || size > s.size() - pos - 3) {
                return LineEnd(s, pos);  // a literal cut short: the rest is not this message
            }
            pos += 3;
            // A literal ends where its FETCH item goes on: anything else means bytes were lost.
            if (pos + size < s.size() && s[pos + size] != ')' && s[pos + size] != ' ') return LineEnd(s, pos);
            message.text.assign(s.substr(pos, size));
            message.has_text = true;
            pos += size;
        } else {
            ++pos;
        }
    }
    if (message.uid != 0) reply.messages.push_back(std::move(message));
    return pos;
}

void ReadSearch(std::string_view s, std::size_t pos, ImapReply& reply) {
    const std::size_t end = LineEnd(s, pos);
    while (pos < end) {
        SkipSpaces(s, pos);
        uint32_t uid = 0;
        if (!ReadNumber(s, pos, uid)) break;
        reply.search.push_back(uid);
    }
}

}  // namespace

ImapReply ReadImapReply(std::string_view s) {
    ImapReply reply;
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (StartsWith(s, pos, "* OK [UIDVALIDITY ")) {
            std::size_t at = pos + 18;
            if (!ReadNumber(s, at, reply.uidvalidity)) reply.uidvalidity = 0;
        } else if (const std::string_view line = s.substr(pos, LineEnd(s, pos) - pos);
                   line.starts_with("* ") && (line.ends_with(" EXISTS\r") || line.ends_with(" EXISTS"))) {
            std::size_t at = pos + 2;
            if (!ReadNumber(s, at, reply.exists)) reply.exists = 0;
        } else if (StartsWith(s, pos, "* SEARCH")) {
            ReadSearch(s, pos + 8, reply);
        } else if (StartsWith(s, pos, "* ")) {
            std::size_t at = pos + 2;
            uint32_t sequence = 0;
            if (ReadNumber(s, at, sequence) && StartsWith(s, at, " FETCH (")) pos = ReadFetch(s, at + 8, reply);
        }
        pos = LineEnd(s, pos) + 1;
    }
    return reply;
}

std::string MessageDateOf(std::string_view d) {
    static constexpr std::string_view kShape = "dd-MMM-yyyy hh:mm:ss +zzzz";
    static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (d.size() != kShape.size()) return "";
    for (std::size_t i = 0; i < d.size(); ++i) {
        const char want = kShape[i];
        const char got = d[i];
        const bool digit = got >= '0' && got <= '9';
        const bool ok = want == 'd' ? digit || (i == 0 && got == ' ')
                        : (want == 'y' || want == 'h' || want == 'm' || want == 's' || want == 'z') ? digit
                        : want == 'M' ? true
                        : want == '+' ? got == '+' || got == '-'
                                      : got == want;
        if (!ok) return "";
    }
    const std::string_view month = d.substr(3, 3);
    const std::size_t at = kMonths.find(month);
    if (at == std::string_view::npos || at % 3 != 0) return "";
    std::string day(d.substr(0, 2));
    if (day[0] == ' ' || day[0] == '0') day.erase(0, 1);
    return day + " " + std::string(month) + " " + std::string(d.substr(7, 4)) + " " + std::string(d.substr(12));
}

}  // namespace harbor
