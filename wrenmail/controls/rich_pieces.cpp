#include "controls/rich_pieces.h"

#include <string>

namespace wm {
void SelectRunFont(CanvasInterface& canvas, const FontRun* run) {
    if (run == nullptr) {
        return;
    }
    canvas.SelectFont(run->font_name != nullptr ? run->font_name : "", static_cast<int32_t>(run->style),
                      static_cast<int32_t>(run->size));
    canvas.SetColor(run->red, run->green, run->blue);
}

void SetRunColourAndFont(CanvasInterface& canvas, const FontRun* run) {
    if (run == nullptr) {
        return;
    }
    canvas.SetColor(run->red, run->green, run->blue);
    canvas.SelectFont(run->font_name != nullptr ? run->font_name : "", static_cast<int32_t>(run->style),
                      static_cast<int32_t>(run->size));
}

float RichPainter::TextWidth(const FontRun* font, const char* chars, uint32_t count) {
    // Slices are not NUL-terminated: the canvas gets a terminated copy.
    measured_.assign(chars, count);
    SelectRunFont(canvas_, font);
    float width = 0.0f;
    float height = 0.0f;
    canvas_.MeasureText(measured_.c_str(), &width, &height);
    return width;
}

float RichPainter::PieceWidth(const RichPiece& piece) {
    if (piece.image == nullptr) {
        return TextWidth(piece.text_font, piece.chars, piece.count);
    }
    if (mode_ == RichMode::Graphic) {
        return static_cast<float>(piece.image->width);
    }
    const char* name = ImageNameText(piece.image);
    return TextWidth(piece.image_name_font, name, static_cast<uint32_t>(std::char_traits<char>::length(name)));
}

float RichPainter::Width(const WalkerState& from, uint32_t first, uint32_t last) {
    float width = 0.0f;
    WalkPieces(from, first, last, [&](const RichPiece& piece) { width += PieceWidth(piece); });
    return width;
}

}  // namespace wm
