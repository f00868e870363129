// Splitting one script line into words. A word may hold double-quoted parts, in which blanks are
// kept and \" \\ \n \t are escapes: `password="a b"` is one word, `a b` after `password=`.
#ifndef HARBOR_DRIVER_SCRIPT_TOKENS_H
#define HARBOR_DRIVER_SCRIPT_TOKENS_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

struct Word {
    std::string text;
    bool quoted = false;  // some part of it was in quotes
    std::size_t start = 0;  // offsets in the line: the word is line[start, end)
    std::size_t end = 0;
};

// The words of a line up to a `#` outside quotes; nullopt with `error` set when a quote is not
// closed or an escape is unknown.
std::optional<std::vector<Word>> SplitWords(std::string_view line, std::string& error);

}  // namespace harbor

#endif
