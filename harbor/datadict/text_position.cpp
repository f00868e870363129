#include "datadict/text_position.h"

namespace harbor {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsSkippable(char c) {
    switch (c) {
    case ' ': case '\t': case '\n': case '\r': case ',': case ':': case '[': case '{':
        return true;
    default:
        return false;
    }
}

// The end of a comment that starts at `at`, or `at` when none starts there.
std::size_t SkipComment(std::string_view text, std::size_t at) {
    if (text.substr(at, 2) == "//") {
        std::size_t end = text.find('\n', at + 2);
        return end == std::string_view::npos ? text.size() : end + 1;
    }
    if (text.substr(at, 2) == "/*") {
        std::size_t end = text.find("*/", at + 2);
        return end == std::string_view::npos ? text.size() : end + 2;
    }
    return at;
}

}  // namespace

LineColumn LineColumnAt(std::string_view text, std::size_t offset) {
    if (offset > text.size()) offset = text.size();
    LineColumn at;
    // An editor shows no byte order mark, so it takes no column.
    std::size_t i = text.starts_with(kByteOrderMark) && offset >= kByteOrderMark.size()
                        ? kByteOrderMark.size()
                        : 0;
    for (; i < offset; ++i) {
        if (text[i] == '\n') {
            ++at.line;
            at.column = 1;
        } else if (!IsContinuationByte(text[i])) {
            ++at.column;
        }
    }
    return at;
}

std::size_t NextTokenStart(std::string_view text, std::size_t offset) {
    if (offset == 0 && text.starts_with(kByteOrderMark)) offset = kByteOrderMark.size();
    while (offset < text.size()) {
        if (IsSkippable(text[offset])) {
            ++offset;
            continue;
        }
        std::size_t after = SkipComment(text, offset);
        if (after == offset) break;
        offset = after;
    }
    return offset;
}

}  // namespace harbor
