// The nodes a rich text document is made of. Every node starts with the same header (kind,
// previous, next) so that runs, blocks, image records and laid-out lines share one list code.
#ifndef WRENMAIL_RICHTEXT_RICH_NODES_H
#define WRENMAIL_RICHTEXT_RICH_NODES_H

#include <cstdint>

namespace wm {

enum class RichKind : uint32_t {
    TextSlice = 0,      // characters inside one CharBlock
    TextFont = 1,       // font and colour of the text that follows
    ImageSlice = 2,     // image slots inside one ImageBlock
    ImageNameFont = 3,  // font and colour of image NAME texts in text mode
    CharBlock = 4,
    ImageBlock = 5,
    ImageInfo = 6,
    LineRecord = 7,     // one laid-out line, kept by the view
};

// Elements a block offers, although its storage holds a little more.
inline constexpr uint32_t kBlockElements = 254;
inline constexpr uint32_t kCharBlockStorage = 256;
inline constexpr uint32_t kImageBlockSlots = 255;

struct RichNode {
    RichKind kind;
    RichNode* prev = nullptr;
    RichNode* next = nullptr;

    explicit RichNode(RichKind k) : kind(k) {}
};

// A head and tail of nodes linked through their headers.
struct NodeList {
    RichNode* head = nullptr;
    RichNode* tail = nullptr;

    bool Empty() const { return head == nullptr; }
    void Append(RichNode* node);
    // `after` null puts the node at the head.
    void InsertAfter(RichNode* after, RichNode* node);
    void InsertBefore(RichNode* before, RichNode* node);
    void Unlink(RichNode* node);
};

struct CharBlock : RichNode {
    // Allocation order; free space is kept ordered by block, and this order is the same on
    // every run, unlike addresses.
    uint32_t serial;
    char chars[kCharBlockStorage] = {};

    explicit CharBlock(uint32_t s) : RichNode(RichKind::CharBlock), serial(s) {}
};

struct ImageInfo;

struct ImageSlot {
    ImageInfo* record = nullptr;
    uint16_t port = 0;    // scene port through which the instance is driven
    uint16_t sprite = 0;  // the host's sprite instance; 0 when none
    uint16_t width = 0;
    uint16_t height = 0;
};

struct ImageBlock : RichNode {
    uint32_t serial;
    ImageSlot slots[kImageBlockSlots] = {};

    explicit ImageBlock(uint32_t s) : RichNode(RichKind::ImageBlock), serial(s) {}
};

// A slice of contiguous elements of one block: part of the text in the run list, or free space
// in a free list.
struct RichSlice : RichNode {
    uint8_t count = 0;
    RichNode* block = nullptr;  // CharBlock for kind TextSlice, ImageBlock for kind ImageSlice
    uint8_t start = 0;

    explicit RichSlice(RichKind k) : RichNode(k) {}

    bool IsText() const { return kind == RichKind::TextSlice; }
    CharBlock* Chars() const { return static_cast<CharBlock*>(block); }
    ImageBlock* Images() const { return static_cast<ImageBlock*>(block); }
    uint32_t Serial() const { return IsText() ? Chars()->serial : Images()->serial; }
    // The slice's first character or slot.
    char* CharAt(uint32_t index) const { return &Chars()->chars[start + index]; }
    ImageSlot* SlotAt(uint32_t index) const { return &Images()->slots[start + index]; }
};

// A format run: it occupies no position and sets the font of what follows it.
struct FontRun : RichNode {
    uint8_t count = 0;
    char* font_name = nullptr;  // owned
    float size = 0.0f;
    float metric = 0.0f;  // height of "M" in this font, measured when the run was made
    uint32_t style = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    explicit FontRun(RichKind k) : RichNode(k) {}
    ~FontRun();
    FontRun(const FontRun&) = delete;
    FontRun& operator=(const FontRun&) = delete;
};

// One image source, shared by every slot that shows it.
struct ImageInfo : RichNode {
    char* name_text = nullptr;  // all four owned
    char* id_name = nullptr;
    char* width_text = nullptr;
    char* height_text = nullptr;
    uint32_t name_length = 0;
    uint32_t id_length = 0;
    uint32_t width_length = 0;
    uint32_t height_length = 0;

    ImageInfo() : RichNode(RichKind::ImageInfo) {}
    ~ImageInfo();
    ImageInfo(const ImageInfo&) = delete;
    ImageInfo& operator=(const ImageInfo&) = delete;
};

// A slice node of the run list, or null for any other node.
inline RichSlice* AsSlice(RichNode* node) {
    if (node != nullptr && (node->kind == RichKind::TextSlice || node->kind == RichKind::ImageSlice)) {
        return static_cast<RichSlice*>(node);
    }
    return nullptr;
}

inline bool IsFontRun(const RichNode* node) {
    return node != nullptr && (node->kind == RichKind::TextFont || node->kind == RichKind::ImageNameFont);
}

// A copy of the text in a new array, or null when memory runs out. Null copies as "".
char* CopyText(const char* text, uint32_t* length);

}  // namespace wm

#endif
