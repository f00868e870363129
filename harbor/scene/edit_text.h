// A sprite's text with a caret and a length limit, as edit fields are typed into. Texts are
// UTF-8; lengths and caret steps count characters, so a multi-byte character is one step. Bytes
// that are not valid UTF-8 are kept and stepped over safely.
#ifndef HARBOR_SCENE_EDIT_TEXT_H
#define HARBOR_SCENE_EDIT_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace harbor {

class EditText {
public:
    static constexpr std::size_t kUnlimited = std::string::npos;

    explicit EditText(std::size_t max_length = kUnlimited) : max_length_(max_length) {}

    // The text's storage is this object's: its address stays until the text changes.
    const std::string& Text() const { return text_; }
    std::size_t Caret() const { return caret_; }  // byte offset, on a character start
    std::size_t Length() const;                    // in characters
    std::size_t MaxLength() const { return max_length_; }

    // Replaces the text, cut to the limit; the caret goes to the end.
    void Set(std::string_view text);
    // Inserts at the caret as many whole characters as the limit leaves room for; false when
    // nothing fitted.
    bool Insert(std::string_view text);
    bool Backspace();
    bool Delete();
    bool Left();
    bool Right();
    void Home() { caret_ = 0; }
    void End() { caret_ = text_.size(); }

    // One '*' per character, for password fields.
    std::string Masked() const { return std::string(Length(), '*'); }

private:
    std::size_t PreviousStart(std::size_t at) const;
    std::size_t NextStart(std::size_t at) const;

    std::string text_;
    std::size_t caret_ = 0;
    std::size_t max_length_;
};

// Characters in a UTF-8 text; the byte length of its first `characters` characters.
std::size_t Utf8Length(std::string_view text);
std::size_t Utf8Prefix(std::string_view text, std::size_t characters);

}  // namespace harbor

#endif
