// Breaks a rich text into lines of a given width, token by token: words and images move whole to
// the next line when they do not fit, spaces never break, a word wider than a line is cut, an
// image wider than a line stands alone.
#ifndef WRENMAIL_CONTROLS_RICH_LINE_BREAKER_H
#define WRENMAIL_CONTROLS_RICH_LINE_BREAKER_H

#include <cstdint>
#include <vector>

#include "controls/rich_layout.h"
#include "controls/rich_pieces.h"
#include "richtext/rich_document.h"

namespace wm {

class RichLineBreaker {
public:
    RichLineBreaker(RichDocument& document, RichPainter& painter, float width)
        : document_(document), painter_(painter), width_(width) {}

    // The lines of the whole text, numbered from 1; none for an empty text.
    std::vector<LineRecord> Break();

private:
    struct Token {
        uint32_t first;
        uint32_t last;
        ElementClass kind;
        WalkerState state;
        float width;
    };

    void OnToken(const Token& token);
    void OnLineFeed(const Token& token);
    void OnSpace(const Token& token);
    void OnWordOrImage(const Token& token);
    void CutWord(const Token& token);
    // Starts the current line with the stretch first..last of the given width.
    void StartLine(uint32_t first, uint32_t last, const WalkerState& state, float width);
    void RecordCurrent();
    void Record(uint32_t first, uint32_t last, const WalkerState& state);
    WalkerState StateAt(uint32_t position);

    RichDocument& document_;
    RichPainter& painter_;
    float width_;
    std::vector<LineRecord> lines_;
    // The current line: empty until a token is placed on it.
    bool holds_ = false;
    uint32_t start_ = 0;
    uint32_t end_ = 0;
    float used_ = 0.0f;
    WalkerState start_state_;
    bool after_line_feed_ = true;  // the next token is the first of its line
};

}  // namespace wm

#endif
