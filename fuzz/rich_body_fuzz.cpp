// Loads arbitrary bytes as a tagged body text, produces the text again and loads that: the
// second document must hold the same elements and produce the same text. The plain body text
// must hold the same way for a plain load.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "hxmsg.h"
#include "richtext/rich_document.h"

namespace {

bool SameElement(const wm::RichElement& a, const wm::RichElement& b) {
    if (a.is_image != b.is_image) return false;
    if (!a.is_image) return a.character == b.character;
    const wm::ImageInfo& x = *a.image->record;
    const wm::ImageInfo& y = *b.image->record;
    return std::strcmp(x.id_name, y.id_name) == 0 && std::strcmp(x.name_text, y.name_text) == 0 &&
           std::strcmp(x.width_text, y.width_text) == 0 && std::strcmp(x.height_text, y.height_text) == 0;
}

bool SameDocument(wm::RichDocument& a, wm::RichDocument& b) {
    if (a.Length() != b.Length() || a.ImageCount() != b.ImageCount()) return false;
    for (uint32_t position = 1; position <= a.Length(); ++position) {
        wm::RichElement x;
        wm::RichElement y;
        if (!a.ElementAt(position, &x) || !b.ElementAt(position, &y) || !SameElement(x, y)) return false;
    }
    return true;
}

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

void CheckTagged(const std::string& text) {
    wm::RichDocument first;
    first.LoadTaggedBodyText(text.c_str());
    const std::string produced = first.ProduceTaggedBodyText();
    wm::RichDocument second;
    second.LoadTaggedBodyText(produced.c_str());
    Require(SameDocument(first, second));
    Require(produced == second.ProduceTaggedBodyText());
}

void CheckPlain(const std::string& text) {
    wm::RichDocument first;
    first.LoadPlainBodyText(text.c_str());
    const std::string produced = first.ProducePlainBodyText();
    wm::RichDocument second;
    second.LoadPlainBodyText(produced.c_str());
    Require(SameDocument(first, second));
    Require(produced == second.ProducePlainBodyText());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The loader reads a NUL-terminated string: bytes after a NUL are never seen.
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckTagged(text);
    CheckPlain(text);
    // Image deletions are posted to the host; drop them so that runs do not pile them up.
    HxReset();
    return 0;
}
