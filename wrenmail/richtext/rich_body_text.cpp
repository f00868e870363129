// The two string forms of a body. The tagged body text keeps images as tags and doubles '<'; the
// plain body text writes each image as its NAME text. Both write line feeds as CR LF.
#include "richtext/rich_body_text.h"

#include <cstring>
#include <new>
#include <string>

#include "messaging/name_atoms.h"
#include "richtext/rich_document.h"

namespace wm {

namespace {

// The fixed bytes of a tag: <ID="" NAME="" W= H=>
constexpr uint64_t kTagFixedBytes = 21;
// W and H fill 16-bit fields; five digits hold every value, and a longer or larger number makes
// the tag malformed rather than silently wrapping.
constexpr int kMaximumDigits = 5;
constexpr uint32_t kMaximumDimension = 0xFFFF;
constexpr uint32_t kTabSpaces = 5;

bool IsGap(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

const char* SkipGap(const char* at) {
    while (IsGap(*at)) ++at;
    return at;
}

const char* Expect(const char* at, const char* word) {
    const std::size_t size = std::strlen(word);
    return std::strncmp(at, word, size) == 0 ? at + size : nullptr;
}

// A double-quoted value of at least one byte.
const char* Quoted(const char* at, std::string_view* value) {
    if (*at != '"') return nullptr;
    const char* begin = at + 1;
    const char* end = begin;
    while (*end != '"' && *end != '\0') ++end;
    if (*end != '"' || end == begin) return nullptr;
    *value = std::string_view(begin, static_cast<std::size_t>(end - begin));
    return end + 1;
}

// `letter` directly followed by '=' and a run of decimal digits (an empty run reads as 0).
const char* Dimension(const char* at, char letter, uint16_t* value) {
    if (at[0] != letter || at[1] != '=') return nullptr;
    at += 2;
    uint32_t number = 0;
    int digits = 0;
    while (*at >= '0' && *at <= '9') {
        if (++digits > kMaximumDigits) return nullptr;
        number = number * 10 + static_cast<uint32_t>(*at - '0');
        ++at;
    }
    if (number > kMaximumDimension) return nullptr;
    *value = static_cast<uint16_t>(number);
    return at;
}

// key gap '=' gap "value"
const char* Attribute(const char* at, const char* key, std::string_view* value) {
    at = Expect(at, key);
    if (at == nullptr) return nullptr;
    at = SkipGap(at);
    if (*at != '=') return nullptr;
    return Quoted(SkipGap(at + 1), value);
}

uint64_t CharacterBytes(char c, bool tagged) {
    return (c == '\n' || (tagged && c == '<')) ? 2 : 1;
}

char* WriteCharacter(char* out, char c, bool tagged) {
    if (c == '\n') {
        *out++ = '\r';
    } else if (tagged && c == '<') {
        *out++ = '<';
    }
    *out++ = c;
    return out;
}

char* WriteBytes(char* out, const char* text, uint32_t length) {
    std::memcpy(out, text, length);
    return out + length;
}

char* WriteTag(char* out, const ImageInfo& record) {
    out = WriteBytes(out, "<ID=\"", 5);
    out = WriteBytes(out, record.id_name, record.id_length);
    out = WriteBytes(out, "\" NAME=\"", 8);
    out = WriteBytes(out, record.name_text, record.name_length);
    out = WriteBytes(out, "\" W=", 4);
    out = WriteBytes(out, record.width_text, record.width_length);
    out = WriteBytes(out, " H=", 3);
    out = WriteBytes(out, record.height_text, record.height_length);
    *out++ = '>';
    return out;
}

uint64_t ImageBytes(const ImageInfo& record, bool tagged) {
    if (!tagged) return record.name_length;
    return kTagFixedBytes + record.name_length + record.id_length + record.width_length + record.height_length;
}

uint64_t ProducedSize(const NodeList& runs, bool tagged) {
    uint64_t size = 0;
    for (RichNode* node = runs.head; node != nullptr; node = node->next) {
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr) continue;
        for (uint32_t i = 0; i < slice->count; ++i) {
            size += slice->IsText() ? CharacterBytes(*slice->CharAt(i), tagged)
                                    : ImageBytes(*slice->SlotAt(i)->record, tagged);
        }
    }
    return size;
}

void WriteRuns(const NodeList& runs, bool tagged, char* out) {
    for (RichNode* node = runs.head; node != nullptr; node = node->next) {
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr) continue;
        for (uint32_t i = 0; i < slice->count; ++i) {
            if (slice->IsText()) {
                out = WriteCharacter(out, *slice->CharAt(i), tagged);
            } else if (tagged) {
                out = WriteTag(out, *slice->SlotAt(i)->record);
            } else {
                const ImageInfo& record = *slice->SlotAt(i)->record;
                out = WriteBytes(out, record.name_text, record.name_length);
            }
        }
    }
    *out = '\0';
}

const char* Produce(RichDocument& d, const NodeList& runs, bool tagged) {
    char* buffer = RichBodyText::ReplaceBuffer(d, ProducedSize(runs, tagged) + 1);
    if (buffer == nullptr) return "";
    WriteRuns(runs, tagged, buffer);
    return buffer;
}

}  // namespace

const char* ParseImageTag(const char* text, ImageTag* tag) {
    ImageTag read;
    const char* at = Attribute(SkipGap(text), "ID", &read.id_name);
    if (at != nullptr) at = Attribute(SkipGap(at), "NAME", &read.name_text);
    if (at != nullptr) at = Dimension(SkipGap(at), 'W', &read.width);
    if (at != nullptr) at = Dimension(SkipGap(at), 'H', &read.height);
    if (at != nullptr) at = SkipGap(at);
    if (at == nullptr || *at != '>') return nullptr;
    *tag = read;
    return at + 1;
}

char* RichBodyText::ReplaceBuffer(RichDocument& d, uint64_t size) {
    delete[] d.string_buffer_;
    d.string_buffer_ = new (std::nothrow) char[size];
    return d.string_buffer_;
}

const char* RichDocument::ProduceTaggedBodyText() {
    return Produce(*this, runs_, true);
}

const char* RichDocument::ProducePlainBodyText() {
    return Produce(*this, runs_, false);
}

void RichDocument::LoadTaggedBodyText(const char* text) {
    RichBodyText::Load(*this, text, true);
}

void RichDocument::LoadPlainBodyText(const char* text) {
    RichBodyText::Load(*this, text, false);
}

namespace {

// Inserts a complete tag's image; false when the tag is refused.
bool InsertTag(RichDocument& d, uint32_t position, const ImageTag& tag) {
    const std::string id_name(tag.id_name);
    const std::string name_text(tag.name_text);
    return d.InsertImage(position, d.ImagePort(), FetchAtom(id_name.c_str()), name_text.c_str(), tag.width,
                         tag.height);
}

}  // namespace

// The position counter advances only when an insertion succeeds, so every insertion stays
// within 1 to length + 1 even when one is refused.
void RichBodyText::Load(RichDocument& d, const char* text, bool tags) {
    d.Reset();
    if (text == nullptr) return;
    uint32_t position = 1;
    auto insert = [&d, &position](char c) {
        if (d.InsertCharacter(position, c)) ++position;
    };
    const char* at = text;
    while (*at != '\0') {
        const char c = *at;
        if (c == '\r') {
            ++at;
        } else if (c == '\t') {
            for (uint32_t i = 0; i < kTabSpaces; ++i) insert(' ');
            ++at;
        } else if (tags && c == '<' && at[1] == '<') {
            insert('<');
            at += 2;
        } else if (tags && c == '<') {
            ImageTag tag;
            const char* after = ParseImageTag(at + 1, &tag);
            if (after != nullptr && InsertTag(d, position, tag)) {
                ++position;
                at = after;
            } else {
                // A malformed or refused tag loses its '<' and the byte after it.
                at += at[1] != '\0' ? 2 : 1;
            }
        } else {
            insert(c);
            ++at;
        }
    }
}

}  // namespace wm
