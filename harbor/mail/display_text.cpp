#include "mail/display_text.h"

#include <algorithm>

#include <glib.h>
#include <gmime/gmime.h>

#include "mail/mime_message.h"

namespace harbor::mime {

namespace {

bool IsControl(gunichar c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Folding is CRLF or LF followed by white space; a bare line break left over is a control
// character like any other and becomes a space later.
std::string Unfold(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        if (raw[i] == '\n' && i + 1 < raw.size() && (raw[i + 1] == ' ' || raw[i + 1] == '\t')) continue;
        out += raw[i];
    }
    return out;
}

// NUL is a control character like the rest: a space, not the U+FFFD GLib would make of it.
std::string ValidUtf8(std::string_view text) {
    std::string plain(text);
    for (char& c : plain) {
        if (c == '\0') c = ' ';
    }
    gchar* valid = g_utf8_make_valid(plain.data(), static_cast<gssize>(plain.size()));
    std::string out(valid);
    g_free(valid);
    return out;
}

}  // namespace

std::string CleanLine(std::string_view text) {
    const std::string valid = ValidUtf8(text);
    std::string out;
    out.reserve(valid.size());
    bool space_pending = false;
    for (const char* p = valid.c_str(); *p != '\0'; p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char(p);
        if (IsControl(c) || c == ' ') {
            space_pending = !out.empty();
            continue;
        }
        if (space_pending) out += ' ';
        space_pending = false;
        out.append(p, static_cast<std::size_t>(g_utf8_next_char(p) - p));
    }
    return out;
}

std::string DisplayHeader(std::string_view raw) {
    EnsureInitialised();
    std::string text = Unfold(raw);
    std::replace(text.begin(), text.end(), '\0', ' ');  // NUL would end the C string early
    gchar* decoded = g_mime_utils_header_decode_text(nullptr, text.c_str());
    std::string out = decoded != nullptr ? std::string(decoded) : text;
    g_free(decoded);
    return CleanLine(out);
}

}  // namespace harbor::mime
