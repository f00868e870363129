// Header texts as a person reads them. Mail written by other programs folds long headers over
// several lines, encodes non-ASCII words (RFC 2047), carries raw 8-bit bytes in unknown charsets
// and sometimes control characters; the module joins list fields with tabs and draws each field on
// one line, so what it is handed must be one clean line of UTF-8.
#ifndef HARBOR_MAIL_DISPLAY_TEXT_H
#define HARBOR_MAIL_DISPLAY_TEXT_H

#include <string>
#include <string_view>

namespace harbor::mime {

// One line of valid UTF-8: invalid sequences become U+FFFD, every control character (C0, DEL,
// C1; tab, CR and LF among them) a space, runs of white space one space, none at either end.
std::string CleanLine(std::string_view text);

// A raw header value as received: unfolded, encoded words decoded (undeclared 8-bit text is
// read as UTF-8 when it is, else as Latin-1), then cleaned as above.
std::string DisplayHeader(std::string_view raw);

}  // namespace harbor::mime

#endif
