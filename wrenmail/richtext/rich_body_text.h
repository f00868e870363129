// The image tag of the tagged body text:
//   <ID="source" NAME="text" W=width H=height>
// read with gaps (runs of space, tab, line feed, carriage return) where the loader allows them.
#ifndef WRENMAIL_RICHTEXT_RICH_BODY_TEXT_H
#define WRENMAIL_RICHTEXT_RICH_BODY_TEXT_H

#include <cstdint>
#include <string_view>

namespace wm {

struct ImageTag {
    std::string_view id_name;
    std::string_view name_text;
    uint16_t width = 0;
    uint16_t height = 0;
};

// Reads a tag from `text`, which starts just after its '<'. Returns the byte after the closing
// '>', or null when the tag is malformed or breaks off (the views into `text` are then unset).
const char* ParseImageTag(const char* text, ImageTag* tag);

class RichDocument;

struct RichBodyText {
    // Resets the document, then inserts the text's content from position 1.
    static void Load(RichDocument& d, const char* text, bool tags);
    // The document's string buffer, replaced by a new one of `size` bytes (null without memory).
    static char* ReplaceBuffer(RichDocument& d, uint64_t size);
};

}  // namespace wm

#endif
