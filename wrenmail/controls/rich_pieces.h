// Walking a stretch of a rich text from a saved walker state, piece by piece: runs of characters
// of one slice and single images, each with the fonts in force. Measuring, drawing and hit
// testing all read the text this way.
#ifndef WRENMAIL_CONTROLS_RICH_PIECES_H
#define WRENMAIL_CONTROLS_RICH_PIECES_H

#include <algorithm>
#include <cstdint>
#include <string>

#include "canvas.h"
#include "richtext/rich_document.h"

namespace wm {

enum class RichMode : uint32_t {
    Graphic = 0,  // images are host sprite instances moved over the picture
    Text = 1,     // images are drawn as their NAME texts
};

struct RichPiece {
    const ImageSlot* image;  // null for characters
    const char* chars;       // the characters, not NUL-terminated
    uint32_t count;          // characters in the piece (1 for an image)
    const FontRun* text_font;
    const FontRun* image_name_font;
};

// Calls visit(piece) for positions first to last in order, starting from a state whose slice
// holds first (or lies before it). Format runs passed on the way change the fonts.
template <typename Visit>
void WalkPieces(const WalkerState& from, uint32_t first, uint32_t last, Visit&& visit) {
    const FontRun* text_font = from.text_font;
    const FontRun* image_font = from.image_name_font;
    uint32_t slice_first = from.first;
    for (RichNode* node = from.slice; node != nullptr && slice_first <= last; node = node->next) {
        if (node->kind == RichKind::TextFont) {
            text_font = static_cast<const FontRun*>(node);
            continue;
        }
        if (node->kind == RichKind::ImageNameFont) {
            image_font = static_cast<const FontRun*>(node);
            continue;
        }
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr || slice->count == 0) {
            continue;
        }
        const uint32_t slice_last = slice_first + slice->count - 1;
        const uint32_t a = std::max(first, slice_first);
        const uint32_t b = std::min(last, slice_last);
        if (a <= b) {
            if (slice->IsText()) {
                visit(RichPiece{nullptr, slice->CharAt(a - slice_first), b - a + 1, text_font,
                                image_font});
            } else {
                for (uint32_t p = a; p <= b; ++p) {
                    visit(RichPiece{slice->SlotAt(p - slice_first), nullptr, 1, text_font,
                                    image_font});
                }
            }
        }
        slice_first = slice_last + 1;
    }
}

// An image's NAME text ("" when it has none).
inline const char* ImageNameText(const ImageSlot* slot) {
    if (slot->record == nullptr || slot->record->name_text == nullptr) {
        return "";
    }
    return slot->record->name_text;
}

// Selects the run's font and then its colour on the canvas, as measuring does (nothing for a
// missing run).
void SelectRunFont(CanvasInterface& canvas, const FontRun* run);
// Sets the run's colour and then its font, as drawing does (nothing for a missing run).
void SetRunColourAndFont(CanvasInterface& canvas, const FontRun* run);

// Measures and draws pieces in one mode on one canvas.
class RichPainter {
public:
    RichPainter(CanvasInterface& canvas, RichMode mode) : canvas_(canvas), mode_(mode) {}

    // The width of positions first to last: text in its font, images by their width in graphic
    // mode and by their NAME text in the image-name font in text mode.
    float Width(const WalkerState& from, uint32_t first, uint32_t last);
    float PieceWidth(const RichPiece& piece);
    // The width of a piece's characters (or of a NAME text) in a font.
    float TextWidth(const FontRun* font, const char* chars, uint32_t count);

    CanvasInterface& Canvas() { return canvas_; }
    RichMode Mode() const { return mode_; }

private:
    CanvasInterface& canvas_;
    RichMode mode_;
    std::string measured_;  // the canvas's terminated copy of a slice, reused between measures
};

}  // namespace wm

#endif
