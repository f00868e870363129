#include "controls/rich_line_breaker.h"

namespace wm {

std::vector<LineRecord> RichLineBreaker::Break() {
    lines_.clear();
    holds_ = false;
    after_line_feed_ = true;
    const uint32_t length = document_.Length();
    uint32_t position = 1;
    while (position <= length) {
        Classification c;
        if (!document_.Classify(position, &c) || c.end < position || c.end > length) {
            break;  // a document that cannot classify its own text ends the layout here
        }
        const Token token{position, c.end, c.element_class, c.state,
                          painter_.Width(c.state, position, c.end)};
        OnToken(token);
        position = c.end + 1;
    }
    RecordCurrent();
    // A final line feed leaves room for the cursor on an empty line below the text.
    if (length > 0 && after_line_feed_ && !lines_.empty()) {
        Record(length + 1, 0, WalkerState{});
    }
    return std::move(lines_);
}

void RichLineBreaker::OnToken(const Token& token) {
    switch (token.kind) {
        case ElementClass::LineFeed:
            OnLineFeed(token);
            return;
        case ElementClass::Space:
            OnSpace(token);
            break;
        case ElementClass::Image:
        case ElementClass::Word:
            OnWordOrImage(token);
            break;
    }
    after_line_feed_ = false;
}

void RichLineBreaker::OnLineFeed(const Token& token) {
    if (after_line_feed_) {
        Record(token.first, 0, token.state);  // a line made only of its line feed
    } else {
        RecordCurrent();
    }
    holds_ = false;
    after_line_feed_ = true;
}

void RichLineBreaker::OnSpace(const Token& token) {
    if (!holds_) {
        StartLine(token.first, token.last, token.state, token.width);
        return;
    }
    used_ += token.width;
    end_ = token.last;
}

void RichLineBreaker::OnWordOrImage(const Token& token) {
    if (!holds_) {
        if (token.width <= width_ || token.kind == ElementClass::Image) {
            StartLine(token.first, token.last, token.state, token.width);
        } else {
            CutWord(token);
        }
        return;
    }
    if (used_ + token.width <= width_) {
        used_ += token.width;
        end_ = token.last;
        return;
    }
    RecordCurrent();
    if (token.width <= width_ || token.kind == ElementClass::Image) {
        // An image is never cut: one wider than the line stands on a line of its own.
        StartLine(token.first, token.last, token.state, token.width);
    } else {
        CutWord(token);
    }
}

void RichLineBreaker::CutWord(const Token& token) {
    uint32_t first = token.first;
    for (;;) {
        const WalkerState state = first == token.first ? token.state : StateAt(first);
        uint32_t last = first;
        float used = painter_.Width(state, first, first);
        // Each piece takes at least one element, so that a character wider than the whole line
        // still gets a line and the breaking moves on.
        while (last < token.last) {
            const float wider = painter_.Width(state, first, last + 1);
            if (wider > width_) {
                break;
            }
            ++last;
            used = wider;
        }
        if (last == token.last) {
            StartLine(first, last, state, used);  // the last piece goes on with the next tokens
            return;
        }
        Record(first, last, state);
        first = last + 1;
    }
}

void RichLineBreaker::StartLine(uint32_t first, uint32_t last, const WalkerState& state,
                                float width) {
    holds_ = true;
    start_ = first;
    end_ = last;
    used_ = width;
    start_state_ = state;
}

void RichLineBreaker::RecordCurrent() {
    if (holds_) {
        Record(start_, end_, start_state_);
        holds_ = false;
    }
}

void RichLineBreaker::Record(uint32_t first, uint32_t last, const WalkerState& state) {
    LineRecord line;
    line.first = first;
    line.last = last;
    line.height = kRichLineHeight;
    line.number = static_cast<uint32_t>(lines_.size()) + 1;
    line.start = state;
    lines_.push_back(line);
}

WalkerState RichLineBreaker::StateAt(uint32_t position) {
    if (!document_.WalkTo(position)) {
        return WalkerState{};
    }
    return document_.Walker();
}

}  // namespace wm
