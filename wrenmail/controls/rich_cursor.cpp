#include "controls/rich_cursor.h"

#include <algorithm>

#include "controls/rich_layout.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"

namespace wm {
namespace {

// Cursor requests are posted with this delay, so that they follow the picture they belong to.
constexpr int32_t kCursorPostDelay = 1;
constexpr int32_t kBlinkInterval = 500;

uint16_t ClampOffset(float value) {
    return static_cast<uint16_t>(std::clamp(value, 0.0f, 65535.0f));
}

}  // namespace

RichCursor::RichCursor(RichLayout& layout, uint16_t port)
    : port_(port), sprite_(atoms::richview::AniWrCursor), layout_(layout) {
    ShowSprite(port_, sprite_, kSend);
    MoveTo(1);
    PostBlink();
}

void RichCursor::MoveTo(uint32_t position) {
    const uint32_t end = layout_.Document().Length() + 1;
    position_ = std::clamp<uint32_t>(position, 1, end);
    at_line_end_ = 0;
    // An Up, Down or click still pending is left as it is: the next paint resolves it first.
    layout_.SetUserScrolled(false);
    layout_.SetNeedsPaint();
}

void RichCursor::MoveLeft() {
    if (position_ > 1) {
        MoveTo(position_ - 1);
    }
}

void RichCursor::MoveRight() {
    if (position_ <= layout_.Document().Length()) {
        MoveTo(position_ + 1);
    }
}

const LineRecord* RichCursor::Line() const {
    const uint32_t shown = at_line_end_ != 0 && position_ > 1 ? position_ - 1 : position_;
    return layout_.LineOf(shown);
}

void RichCursor::MoveVertically(int direction) {
    // Always from the line the cursor is shown on: a second Up or Down before the paint aims
    // at the same line as the first.
    const LineRecord* line = Line();
    if (line == nullptr) {
        return;
    }
    const LineRecord* target = layout_.LineNumbered(line->number + static_cast<uint32_t>(direction));
    if (target == nullptr) {
        return;
    }
    target_line_ = target->number;
    vertical_pending_ = 1;
    layout_.SetUserScrolled(false);
    layout_.SetNeedsPaint();
}

void RichCursor::Click(uint16_t x, uint16_t y) {
    click_x_ = x;
    click_y_ = y;
    click_pending_ = 1;
    at_line_end_ = 0;
    layout_.SetUserScrolled(false);
    layout_.SetNeedsPaint();
}

void RichCursor::Place(CanvasInterface& canvas) {
    const uint32_t length = layout_.Document().Length();
    position_ = std::clamp<uint32_t>(position_, 1, length + 1);
    if (length == 0 || layout_.LineCount() == 0) {
        x_offset_ = 0;
        y_offset_ = 0;
        vertical_pending_ = 0;
        click_pending_ = 0;
        MoveSprite();
        return;
    }
    if (vertical_pending_ != 0) {
        ResolveVerticalMove(canvas);
    } else if (click_pending_ != 0) {
        ResolveClick(canvas);
    }
    const LineRecord* line = Line();
    if (line == nullptr) {
        return;
    }
    ScrollIntoView(*line);
    if (in_view_ != 0) {
        ComputeOffsets(canvas, *line);
    }
    MoveSprite();
}

void RichCursor::ResolveVerticalMove(CanvasInterface& canvas) {
    vertical_pending_ = 0;
    at_line_end_ = 0;
    const LineRecord* target = layout_.LineNumbered(target_line_);
    if (target == nullptr) {
        return;
    }
    RichPainter painter(canvas, layout_.Mode());
    position_ = layout_.HitPosition(painter, *target, static_cast<float>(x_offset_));
}

void RichCursor::ResolveClick(CanvasInterface& canvas) {
    click_pending_ = 0;
    const LineRecord* line = ClickedLine();
    if (line == nullptr) {
        return;
    }
    RichPainter painter(canvas, layout_.Mode());
    position_ = layout_.HitPosition(painter, *line, static_cast<float>(click_x_));
    // Past the end of a wrapped line the cursor stays on that line rather than jumping to the
    // start of the next. An empty line's last position is 0, so any position is past it.
    const LineRecord* next = layout_.LineNumbered(line->number + 1);
    at_line_end_ = position_ > line->last && next != nullptr && !next->Empty();
}

const LineRecord* RichCursor::ClickedLine() const {
    float bottom = 0.0f;
    for (uint32_t n = layout_.FirstVisible(); n != 0 && n <= layout_.LastVisible(); ++n) {
        const LineRecord* line = layout_.LineNumbered(n);
        bottom += line->height;
        if (bottom >= static_cast<float>(click_y_)) {
            return line;
        }
    }
    return layout_.LineNumbered(layout_.LastVisible());
}

void RichCursor::ScrollIntoView(const LineRecord& line) {
    if (line.number < layout_.TopLine()) {
        if (layout_.UserScrolled()) {
            Hide();
            return;
        }
        layout_.SetTopLine(line.number);
        layout_.ComputeVisibleLines();
    } else if (line.number > layout_.LastVisible()) {
        if (layout_.UserScrolled()) {
            Hide();
            return;
        }
        layout_.SetTopLine(layout_.TopLine() + (line.number - layout_.LastVisible()));
        layout_.ComputeVisibleLines();
    }
    Show();
}

void RichCursor::ComputeOffsets(CanvasInterface& canvas, const LineRecord& line) {
    float y = 0.0f;
    for (uint32_t n = layout_.FirstVisible(); n != 0 && n < line.number; ++n) {
        y += layout_.LineNumbered(n)->height;
    }
    y_offset_ = ClampOffset(y);
    float x = 0.0f;
    if (!line.Empty()) {
        RichPainter painter(canvas, layout_.Mode());
        const uint32_t through = at_line_end_ != 0 ? line.last : position_ - 1;
        x = layout_.WidthThrough(painter, line, through);
    }
    x_offset_ = std::min(ClampOffset(x), layout_.TextWidth());
}

void RichCursor::Show() {
    in_view_ = 1;
    if (layout_.Focused() && !layout_.ReadOnly()) {
        PostVisible(true);
    }
}

void RichCursor::Hide() {
    in_view_ = 0;
    PostVisible(false);
}

void RichCursor::MoveSprite() {
    const auto x = static_cast<uint16_t>(layout_.TextLeft() + x_offset_);
    const auto y = static_cast<uint16_t>(layout_.TextTop() + y_offset_);
    if (x == last_x_ && y == last_y_) {
        return;
    }
    last_x_ = x;
    last_y_ = y;
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kMove);
    EDictPutShort(&record, atoms::NAME, sprite_);
    EDictPutLong(&record, atoms::X, x);
    EDictPutLong(&record, atoms::Y, y);
    EDictPutLong(&record, atoms::SPEED, 0);
    EDictPutBool(&record, atoms::FORCEDUPDATE, true);
    HxPortPost(port_, &record, kCursorPostDelay);
    // The blink message posted now swallows one already on its way: the cursor stays steady
    // while it moves and blinks again a full interval after the last move.
    ++pending_blinks_;
    PostBlink();
}

void RichCursor::Blink() {
    if (pending_blinks_ > 0) {
        --pending_blinks_;
        return;
    }
    if (layout_.Focused() && !layout_.ReadOnly() && in_view_ != 0) {
        blink_phase_ = blink_phase_ != 0 ? 0 : 1;
        PostVisible(blink_phase_ == 0);
    }
    PostBlink();
}

void RichCursor::PostVisible(bool visible) const {
    SetSpriteVisible(port_, sprite_, visible, kCursorPostDelay);
}

void RichCursor::PostBlink() const {
    PostAction(atoms::ports::WritePort, atoms::actions::CursorBlinkMessage, kBlinkInterval);
}

}  // namespace wm
