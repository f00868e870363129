#include "fileio/file_names.h"

#include "fileio/held_files.h"
#include "fileio/import_journal.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

namespace harbor {

namespace {

constexpr std::size_t kMaxNameBytes = 255;
constexpr long long kStaleAfterSeconds = 3600;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// The length of the UTF-8 sequence starting at text[i], or 0 when none starts there.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    if (c >= 0xC2 && c <= 0xDF) n = 2;
    else if (c >= 0xE0 && c <= 0xEF) n = 3;
    else if (c >= 0xF0 && c <= 0xF4) n = 4;
    if (n == 0 || i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0u) != 0x80u) return 0;
    }
    const auto c1 = static_cast<unsigned char>(text[i + 1]);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F)) return 0;  // overlong, surrogates
    if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 > 0x8F)) return 0;
    return n;
}

void AppendEscape(std::string& out, unsigned char c) {
    switch (c) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        default: break;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned>(c));
    out += hex;
}

bool ProcessGone(long pid) {
    if (pid <= 0) return true;
    return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

const char* RefusedName(std::string_view name) {
    if (name.empty()) return "the name is empty";
    if (name == "." || name == "..") return "'.' and '..' are not names";
    if (name.size() > kMaxNameBytes) return "the name is longer than 255 bytes";
    for (const char ch : name) {
        if (ch == '/') return "the name holds a '/'";
        if (ch == '\\') return "the name holds a '\\'";
        if (IsControl(static_cast<unsigned char>(ch))) return "the name holds a control character";
    }
    if (IsTempName(name)) return "the name is kept for temporary files";
    if (name == kHeldFolder) return "the name is kept for deleted files (harbor recover)";
    if (name == kLockFileName) return "the name is kept for the data folder's lock";
    if (name == kImportJournal) return "the name is kept for the import journal";
    return nullptr;
}

bool IsTempName(std::string_view name) { return name.starts_with(kTempPrefix); }

std::string NewTempName() {
    static unsigned long long sequence = 0;
    return std::string(kTempPrefix) + std::to_string(static_cast<long>(getpid())) + "-" + std::to_string(++sequence);
}

bool IsStaleTemp(std::string_view name, long long modified_seconds_ago) {
    if (!IsTempName(name)) return false;
    if (modified_seconds_ago > kStaleAfterSeconds) return true;
    const std::string_view rest = name.substr(kTempPrefix.size());
    long pid = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (ec != std::errc() || end == rest.data() || end == rest.data() + rest.size() || *end != '-') return true;
    return pid == static_cast<long>(getpid()) || ProcessGone(pid);
}

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (const std::size_t n = Utf8Length(text, i); n > 0) {
                out.append(text.substr(i, n));
                i += n;
                continue;
            }
            AppendEscape(out, c);
        } else if (IsControl(c) || c == '"' || c == '\\') {
            AppendEscape(out, c);
        } else {
            out.push_back(static_cast<char>(c));
        }
        ++i;
    }
    out += "\"";
    return out;
}

}  // namespace harbor
