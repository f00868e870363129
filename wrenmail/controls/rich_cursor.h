// The text cursor of a rich text view: its position in the text, where it stands on the
// picture, and the host sprite that shows it and blinks.
#ifndef WRENMAIL_CONTROLS_RICH_CURSOR_H
#define WRENMAIL_CONTROLS_RICH_CURSOR_H

#include <cstdint>

#include "canvas.h"

namespace wm {

class RichLayout;
struct LineRecord;

class RichCursor {
public:
    // Shows the cursor sprite, stands at position 1 and starts the blink chain.
    RichCursor(RichLayout& layout, uint16_t port);
    RichCursor(const RichCursor&) = delete;
    RichCursor& operator=(const RichCursor&) = delete;

    uint32_t Position() const { return position_; }
    // Every move: the position (kept within the text), at line end cleared, the user's scrolling
    // forgotten, a repaint asked for.
    void MoveTo(uint32_t position);
    void MoveLeft();   // when past position 1
    void MoveRight();  // when not at the end of the text

    bool AtLineEnd() const { return at_line_end_ != 0; }
    void SetAtLineEnd(bool at_line_end) { at_line_end_ = at_line_end ? 1 : 0; }
    // The line the cursor is shown on: that of the previous position when at line end.
    const LineRecord* Line() const;

    // Up (-1) or down (+1) one line; the position is found at the next paint from the x offset.
    void MoveVertically(int direction);
    // A click at text coordinates, resolved at the next paint.
    void Click(uint16_t x, uint16_t y);

    // Resolves pending moves and clicks, scrolls the cursor into view (or hides it when the user
    // scrolled it away), computes its offsets and moves its sprite.
    void Place(CanvasInterface& canvas);

    // One blink message: swallowed while moves are pending, else flips the sprite and goes on.
    void Blink();
    void PostVisible(bool visible) const;

    bool InView() const { return in_view_ != 0; }
    uint16_t Sprite() const { return sprite_; }
    uint16_t XOffset() const { return x_offset_; }
    uint16_t YOffset() const { return y_offset_; }
    uint32_t PendingBlinks() const { return pending_blinks_; }

private:
    void ResolveVerticalMove(CanvasInterface& canvas);
    void ResolveClick(CanvasInterface& canvas);
    const LineRecord* ClickedLine() const;
    void ScrollIntoView(const LineRecord& line);
    void ComputeOffsets(CanvasInterface& canvas, const LineRecord& line);
    void Show();
    void Hide();
    void MoveSprite();
    void PostBlink() const;

    uint16_t port_;
    uint16_t sprite_;
    RichLayout& layout_;
    uint32_t position_ = 1;
    uint16_t x_offset_ = 0;
    uint16_t y_offset_ = 0;
    uint16_t last_x_ = 0;
    uint16_t last_y_ = 0;
    uint16_t click_x_ = 0;
    uint16_t click_y_ = 0;
    uint8_t click_pending_ = 0;
    // The target of a vertical move by number: the lines may be laid out again before it is
    // resolved.
    uint32_t target_line_ = 0;
    uint8_t vertical_pending_ = 0;
    uint8_t at_line_end_ = 0;
    uint8_t in_view_ = 1;
    uint8_t blink_phase_ = 0;
    uint32_t pending_blinks_ = 0;
};

}  // namespace wm

#endif
