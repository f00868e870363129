#include "scene/edit_text.h"

namespace harbor {

namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::size_t Utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += IsContinuation(c) ? 0 : 1;
    return n;
}

std::size_t Utf8Prefix(std::string_view text, std::size_t characters) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuation(text[i])) continue;
        if (seen == characters) return i;
        ++seen;
    }
    return text.size();
}

std::size_t EditText::Length() const { return Utf8Length(text_); }

void EditText::Set(std::string_view text) {
    const std::size_t keep = max_length_ == kUnlimited ? text.size() : Utf8Prefix(text, max_length_);
    // assign copes with `text` pointing into text_ itself.
    text_.assign(text.data(), keep);
    caret_ = text_.size();
}

bool EditText::Insert(std::string_view text) {
    std::size_t bytes = text.size();
    if (max_length_ != kUnlimited) {
        const std::size_t length = Length();
        const std::size_t room = length >= max_length_ ? 0 : max_length_ - length;
        bytes = Utf8Prefix(text, room);
    }
    if (bytes == 0) return false;
    text_.insert(caret_, text.data(), bytes);
    caret_ += bytes;
    return true;
}

bool EditText::Backspace() {
    if (caret_ == 0) return false;
    const std::size_t start = PreviousStart(caret_);
    text_.erase(start, caret_ - start);
    caret_ = start;
    return true;
}

bool EditText::Delete() {
    if (caret_ >= text_.size()) return false;
    text_.erase(caret_, NextStart(caret_) - caret_);
    return true;
}

bool EditText::Left() {
    if (caret_ == 0) return false;
    caret_ = PreviousStart(caret_);
    return true;
}

bool EditText::Right() {
    if (caret_ >= text_.size()) return false;
    caret_ = NextStart(caret_);
    return true;
}

std::size_t EditText::PreviousStart(std::size_t at) const {
    std::size_t i = at;
    while (i > 0) {
        --i;
        if (!IsContinuation(text_[i])) return i;
    }
    return 0;
}

std::size_t EditText::NextStart(std::size_t at) const {
    std::size_t i = at + 1;
    while (i < text_.size() && IsContinuation(text_[i])) ++i;
    return i;
}

}  // namespace harbor
