// Positions in a source text for messages: line and column of a byte offset, and where the next
// JSON token begins, so that a message points at the token a human sees, not the parser's
// look-ahead.
#ifndef HARBOR_DATADICT_TEXT_POSITION_H
#define HARBOR_DATADICT_TEXT_POSITION_H

#include <cstddef>
#include <string_view>

namespace harbor {

struct LineColumn {
    std::size_t line = 1;    // 1-based
    std::size_t column = 1;  // 1-based, in characters (UTF-8 sequences count once)
};

// Offsets past the end count as the end.
LineColumn LineColumnAt(std::string_view text, std::size_t offset);

// The offset of the first byte at or after `offset` that is not white space, a comment, a byte
// order mark at the very start, or one of the separators ",:[{" that precede a value or key.
std::size_t NextTokenStart(std::string_view text, std::size_t offset);

}  // namespace harbor

#endif
