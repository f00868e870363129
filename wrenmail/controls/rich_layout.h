// The layout of a rich text on its sprite: the text rectangle learnt from the host, the laid-out
// lines, which of them are visible, and the painting of the picture.
#ifndef WRENMAIL_CONTROLS_RICH_LAYOUT_H
#define WRENMAIL_CONTROLS_RICH_LAYOUT_H

#include <cstdint>
#include <memory>
#include <vector>

#include "canvas.h"
#include "controls/canvas_drawing.h"
#include "controls/rich_pieces.h"
#include "edict.h"
#include "richtext/rich_document.h"

namespace wm {

class RichCursor;

inline constexpr float kRichLineHeight = 40.0f;
inline constexpr uint16_t kRichLeftMargin = 3;
inline constexpr uint16_t kRichTopMargin = 3;

// One laid-out line: positions first to last, or an empty line (last 0) made only of a line feed
// or standing after a final one. A line ended by a line feed does not include it.
struct LineRecord {
    uint32_t first = 0;
    uint32_t last = 0;
    float height = kRichLineHeight;
    uint32_t number = 0;  // 1-based
    WalkerState start;    // the walker at the first position: drawing starts here

    bool Empty() const { return last == 0; }
};

struct SpriteRect {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
};

class RichLayout {
public:
    // Shows the rich text sprite and makes the cursor (which shows its own sprite).
    RichLayout(RichDocument& document, uint16_t port, uint16_t sprite);
    // Stops the rich text sprite.
    ~RichLayout();
    RichLayout(const RichLayout&) = delete;
    RichLayout& operator=(const RichLayout&) = delete;

    RichCursor& Cursor() { return *cursor_; }
    RichDocument& Document() { return document_; }

    // Asks the host for the sprite's rectangle and derives the text rectangle from it.
    void LearnGeometry();
    bool GeometryKnown() const { return geometry_known_ != 0; }
    // Scene coordinates inside the text rectangle, edges included.
    bool InsideText(int32_t x, int32_t y) const;

    // Answers a draw request when there is something to paint; false when nothing was painted.
    bool Paint(EDict* record);
    // Lays the whole text out again (exposed for measuring it apart from painting).
    void BreakLines(CanvasInterface& canvas);

    // Lines and their lookups; numbers are 1-based, null when there is no such line.
    const std::vector<LineRecord>& Lines() const { return lines_; }
    uint32_t LineCount() const { return line_count_; }
    const LineRecord* LineNumbered(uint32_t number) const;
    // The line a position is shown on: the last line starting at or before it.
    const LineRecord* LineOf(uint32_t position) const;

    // Visible lines from the top line, lowering it when the rest of the text would leave the
    // view part empty.
    void ComputeVisibleLines();
    // Top line n without lowering, for paging printed text; the next paint keeps the lines.
    void ShowFromLine(uint32_t number);
    uint32_t TopLine() const { return top_line_; }
    void SetTopLine(uint32_t number) { top_line_ = number; }
    uint32_t FirstVisible() const { return first_visible_; }
    uint32_t LastVisible() const { return last_visible_; }
    uint32_t VisibleCount() const { return visible_count_; }

    // Editor buttons: one line up or down; the cursor may scroll out of view.
    void ScrollUp();
    void ScrollDown();

    // The position a point at x (text coordinates) falls on in the line: halfway through an
    // element goes after it.
    uint32_t HitPosition(RichPainter& painter, const LineRecord& line, float x) const;
    // The width of the line's elements from its first position to `through`.
    float WidthThrough(RichPainter& painter, const LineRecord& line, uint32_t through) const;

    void SetMode(RichMode mode) { mode_ = mode; }
    RichMode Mode() const { return mode_; }
    // The colour behind the text: the editor's paper, or white on a printed page.
    void SetBackground(Rgb color) {
        background_ = color;
        needs_paint_ = 1;
    }

    bool NeedsPaint() const { return needs_paint_ != 0; }
    void SetNeedsPaint() { needs_paint_ = 1; }
    bool UserScrolled() const { return user_scrolled_ != 0; }
    void SetUserScrolled(bool scrolled) { user_scrolled_ = scrolled ? 1 : 0; }
    bool Focused() const { return focus_ != 0; }
    void SetFocused(bool focused) { focus_ = focused ? 1 : 0; }
    bool ReadOnly() const { return read_only_ != 0; }
    void SetReadOnly(bool read_only) { read_only_ = read_only ? 1 : 0; }

    uint16_t Port() const { return port_; }
    uint16_t Sprite() const { return sprite_; }
    const SpriteRect& Rect() const { return rect_; }
    uint16_t TextLeft() const { return text_left_; }
    uint16_t TextTop() const { return text_top_; }
    uint16_t TextWidth() const { return text_width_; }
    uint16_t TextHeight() const { return text_height_; }

private:
    void EnsureDefaultFonts(CanvasInterface& canvas);
    void PaintLines(CanvasInterface& canvas);
    void PaintLine(RichPainter& painter, const LineRecord& line, float y);
    void ShowImage(CanvasInterface& canvas, const ImageSlot& slot);
    void ClearVisible();
    // From the top line (which must exist), as many lines as the text height holds, at least one.
    void ShowLinesFromTop();

    std::unique_ptr<RichCursor> cursor_;
    RichDocument& document_;
    uint8_t user_scrolled_ = 0;
    uint16_t left_margin_ = kRichLeftMargin;
    uint16_t top_margin_ = kRichTopMargin;
    uint8_t geometry_known_ = 0;
    uint8_t keep_lines_ = 0;
    uint8_t focus_ = 0;
    uint8_t read_only_ = 0;
    uint16_t port_;
    uint16_t canvas_key_;
    uint16_t sprite_;
    RichMode mode_ = RichMode::Graphic;
    Rgb background_{255, 251, 240};
    SpriteRect rect_;
    uint16_t text_left_ = 0;
    uint16_t text_top_ = 0;
    uint16_t text_width_ = 0;
    uint16_t text_height_ = 0;
    std::vector<LineRecord> lines_;
    uint32_t first_visible_ = 0;  // line numbers; 0 when nothing is shown
    uint32_t last_visible_ = 0;
    uint32_t top_line_ = 0;
    uint32_t visible_count_ = 0;
    uint32_t line_count_ = 0;
    uint8_t needs_paint_ = 0;
};

}  // namespace wm

#endif
