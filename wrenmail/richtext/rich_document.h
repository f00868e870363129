// A message body as a sequence of positions, each holding one character or one image (a stamp
// picture placed in the text). Positions are 1-based; length + 1 is the end of the text. The
// text is a piece table: slices of fixed 254-element blocks, relinked on editing so that
// characters never move. The view lays the document out and draws it; the document keeps no
// layout.
#ifndef WRENMAIL_RICHTEXT_RICH_DOCUMENT_H
#define WRENMAIL_RICHTEXT_RICH_DOCUMENT_H

#include <cstdint>

#include "canvas.h"
#include "richtext/rich_nodes.h"

namespace wm {

inline constexpr uint32_t kRichMaximumLength = 0x7FFFFFFF;
inline constexpr uint32_t kRichMaximumImages = 150;
// Image instances are named from this format, "image" and a counter kept for the module's life.
inline constexpr const char* kImageInstanceFormat = "%s%d";
inline constexpr const char* kImageInstancePrefix = "image";

// The element walker's state, as laid-out lines copy it: the current slice, the latest fonts
// passed on the way to it, and the positions the slice covers.
struct WalkerState {
    RichSlice* slice = nullptr;
    FontRun* text_font = nullptr;
    FontRun* image_name_font = nullptr;
    uint32_t first = 0;
    uint32_t last = 0;
};

enum class ElementClass : uint32_t {
    Space = 1,     // a space or a NUL
    LineFeed = 2,
    Image = 3,
    Word = 4,      // any other character, with what follows up to a space, line feed or NUL
};

struct Classification {
    ElementClass element_class = ElementClass::Space;
    uint32_t end = 0;   // last position of the element or word
    WalkerState state;  // the walker at the classified position
};

// One element as read through the walker.
struct RichElement {
    bool is_image = false;
    char character = 0;
    const ImageSlot* image = nullptr;
};

class RichDocument {
public:
    RichDocument();
    ~RichDocument();
    RichDocument(const RichDocument&) = delete;
    RichDocument& operator=(const RichDocument&) = delete;

    // Frees every node and the produced string; the images still in the text lose their host
    // instances (30004 posted to each slot's port).
    void Reset();

    uint32_t Length() const { return length_; }
    uint32_t ImageCount() const { return image_count_; }
    bool Modified() const { return modified_ != 0; }
    // The view clears the flag once it has laid the text out again.
    void SetModified(bool modified) { modified_ = modified ? 1 : 0; }
    uint32_t ChangePosition() const { return change_position_; }
    uint32_t MaximumLength() const { return maximum_length_; }
    void SetMaximumLength(uint32_t maximum) { maximum_length_ = maximum; }

    // Each returns true when inserted. Positions outside 1 to length + 1 are refused.
    bool InsertCharacter(uint32_t position, char character);
    // Width or height 0 asks the host for the source sprite's size. Creates the host instance.
    bool InsertImage(uint32_t position, uint16_t port, uint16_t source, const char* name_text, uint16_t width,
                     uint16_t height);
    // kind is TextFont or ImageNameFont; the canvas (may be null) measures the font's metric.
    bool InsertFontRun(uint32_t position, RichKind kind, const char* font_name, float size, uint32_t style,
                       uint8_t red, uint8_t green, uint8_t blue, CanvasInterface* canvas);
    // Removes positions first to last inclusive (clamped to the text).
    void DeleteRange(uint32_t first, uint32_t last);

    // The nearest run of that kind at or before the slice holding the position, or null.
    FontRun* FindTextFontAt(uint32_t position) const;
    FontRun* FindImageNameFontAt(uint32_t position) const;

    // False when the position is not in the text.
    bool Classify(uint32_t position, Classification* result);
    uint32_t PreviousWordStart(uint32_t position);
    uint32_t NextWordStart(uint32_t position);

    // Sends VISIBLE false for every image instance of the text.
    void HideImageSprites() const;

    // The document's string buffer, newly filled; valid until the next production or reset.
    const char* ProduceTaggedBodyText();
    const char* ProducePlainBodyText();
    // Reset, then the string's content from position 1. Null loads nothing.
    void LoadTaggedBodyText(const char* text);
    void LoadPlainBodyText(const char* text);

    // The element walker. WalkTo places it on the slice holding the position (false outside
    // 1..length); sequential requests continue without searching.
    bool WalkTo(uint32_t position);
    const WalkerState& Walker() const { return walker_; }
    // Resumes from a saved state (a line's start); the state must come from the unchanged text.
    void SetWalker(const WalkerState& state);
    void ClearWalker();
    // The element at the position, read through the walker; false outside the text.
    bool ElementAt(uint32_t position, RichElement* element);

    // The lists, for the view's drawing and for inspection.
    const NodeList& Runs() const { return runs_; }
    const NodeList& ImageRecords() const { return image_records_; }
    const NodeList& FreeTextSpace() const { return free_text_; }
    const NodeList& FreeImageSpace() const { return free_images_; }
    const NodeList& CharBlocks() const { return char_blocks_; }
    const NodeList& ImageBlocks() const { return image_blocks_; }

    // Image instances named so far in the module's life ("image0", "image1", ...).
    static int ImageInstanceCounter();

    // The scene port through which the images of a loaded tagged body text are driven (the
    // owning view's port); 0 until set.
    void SetImagePort(uint16_t port) { image_port_ = port; }
    uint16_t ImagePort() const { return image_port_; }

private:
    // The editing steps live beside the fields they change, out of this header.
    friend struct RichDocumentInternals;
    friend struct RichBlockStore;
    friend struct RichImageRecords;
    friend struct RichBodyText;

    uint8_t modified_ = 1;
    uint32_t change_position_ = 1;
    uint32_t length_ = 0;
    uint32_t maximum_length_ = kRichMaximumLength;
    uint32_t image_count_ = 0;
    char* string_buffer_ = nullptr;
    WalkerState walker_;
    NodeList image_records_;
    NodeList runs_;
    NodeList free_text_;
    NodeList free_images_;
    NodeList char_blocks_;
    NodeList image_blocks_;
    uint32_t next_serial_ = 0;
    uint16_t image_port_ = 0;
};

}  // namespace wm

#endif
