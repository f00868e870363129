#include "driver/script_tokens.h"

namespace harbor {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::optional<char> Escape(char c) {
    switch (c) {
        case '"': return '"';
        case '\\': return '\\';
        case 'n': return '\n';
        case 't': return '\t';
        default: return std::nullopt;
    }
}

// Reads a quoted part starting after its opening quote; `i` ends after the closing quote.
bool ReadQuoted(std::string_view line, std::size_t& i, std::string& out, std::string& error) {
    while (i < line.size()) {
        char c = line[i++];
        if (c == '"') return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i == line.size()) break;
        std::optional<char> escaped = Escape(line[i]);
        if (!escaped) {
            error = std::string("unknown escape \\") + line[i] + " in quotes";
            return false;
        }
        out += *escaped;
        ++i;
    }
    error = "the quote is not closed";
    return false;
}

}  // namespace

std::optional<std::vector<Word>> SplitWords(std::string_view line, std::string& error) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size() || line[i] == '#') return words;
        Word word;
        word.start = i;
        while (i < line.size() && !IsBlank(line[i])) {
            char c = line[i++];
            if (c != '"') {
                word.text += c;
                continue;
            }
            word.quoted = true;
            if (!ReadQuoted(line, i, word.text, error)) return std::nullopt;
        }
        word.end = i;
        words.push_back(std::move(word));
    }
}

}  // namespace harbor
