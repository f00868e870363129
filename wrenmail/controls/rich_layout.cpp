#include "controls/rich_layout.h"

#include <algorithm>
#include <string>

#include "controls/control_atoms.h"
#include "controls/rich_cursor.h"
#include "controls/rich_line_breaker.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"

namespace wm {
namespace {

constexpr const char* kDefaultFont = "Comic Sans MS";
constexpr float kDefaultFontSize = 24.0f;

uint16_t ClampUnsigned16(int64_t value) {
    return static_cast<uint16_t>(std::clamp<int64_t>(value, 0, 65535));
}

}  // namespace

RichLayout::RichLayout(RichDocument& document, uint16_t port, uint16_t sprite)
    : document_(document), port_(port), canvas_key_(atoms::controls::Bitmap), sprite_(sprite) {
    ShowSprite(port_, sprite_, kSend);
    cursor_ = std::make_unique<RichCursor>(*this, port_);
}

RichLayout::~RichLayout() { HideSprite(port_, sprite_, kSend); }

void RichLayout::LearnGeometry() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kGetRect);
    EDictPutShort(&record, atoms::NAME, sprite_);
    EDictPutShort(&record, atoms::KIND, atoms::SP_GENERAL);
    EDictPutBool(&record, atoms::layout::NOTIFY, false);
    HxPortSend(port_, &record);
    rect_ = SpriteRect{EDictGetLong(&record, atoms::RX1), EDictGetLong(&record, atoms::RY1),
                       EDictGetLong(&record, atoms::RX2), EDictGetLong(&record, atoms::RY2)};
    text_left_ = ClampUnsigned16(int64_t{rect_.x1} + left_margin_);
    text_top_ = ClampUnsigned16(int64_t{rect_.y1} + top_margin_);
    text_width_ = ClampUnsigned16(int64_t{rect_.x2} - rect_.x1 - left_margin_);
    text_height_ = ClampUnsigned16(int64_t{rect_.y2} - rect_.y1 - top_margin_);
    geometry_known_ = 1;
}

bool RichLayout::InsideText(int32_t x, int32_t y) const {
    return x >= text_left_ && x <= text_left_ + text_width_ && y >= text_top_ &&
           y <= text_top_ + text_height_;
}

bool RichLayout::Paint(EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, canvas_key_));
    if (canvas == nullptr || geometry_known_ == 0 || (needs_paint_ == 0 && !document_.Modified())) {
        return false;
    }
    needs_paint_ = 0;
    if (mode_ == RichMode::Graphic) {
        document_.HideImageSprites();
    }
    if (keep_lines_ != 0) {
        keep_lines_ = 0;
        // Lines keep walker states into the text: after a change they must be made again
        // before anything is drawn from them, even when asked to keep them.
        if (document_.Modified()) {
            const uint32_t top = top_line_;
            document_.SetModified(false);
            BreakLines(*canvas);
            ShowFromLine(top);
            keep_lines_ = 0;
            needs_paint_ = 0;
        }
    } else {
        if (document_.Modified()) {
            document_.SetModified(false);
            BreakLines(*canvas);
        }
        ComputeVisibleLines();
        cursor_->Place(*canvas);
    }
    int32_t width = 0;
    int32_t height = 0;
    canvas->GetSize(&width, &height);
    SetColour(*canvas, background_);
    canvas->Rectangle(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
    canvas->Fill();
    PaintLines(*canvas);
    EDictPutBool(record, atoms::UPDATED, true);
    EDictPutLong(record, atoms::X, 0);
    EDictPutLong(record, atoms::Y, 0);
    EDictPutLong(record, atoms::WIDTH, width);
    EDictPutLong(record, atoms::HEIGHT, height);
    return true;
}

void RichLayout::BreakLines(CanvasInterface& canvas) {
    lines_.clear();
    document_.ClearWalker();
    if (document_.Length() == 0) {
        line_count_ = 0;
        ClearVisible();
        return;
    }
    EnsureDefaultFonts(canvas);
    document_.ClearWalker();
    RichPainter painter(canvas, mode_);
    RichLineBreaker breaker(document_, painter, static_cast<float>(text_width_));
    lines_ = breaker.Break();
    line_count_ = static_cast<uint32_t>(lines_.size());
}

void RichLayout::EnsureDefaultFonts(CanvasInterface& canvas) {
    if (document_.FindTextFontAt(1) == nullptr) {
        document_.InsertFontRun(1, RichKind::TextFont, kDefaultFont, kDefaultFontSize, 0, 0, 0, 0,
                                &canvas);
    }
    if (document_.FindImageNameFontAt(1) == nullptr) {
        document_.InsertFontRun(1, RichKind::ImageNameFont, kDefaultFont, kDefaultFontSize, 0, 0, 0,
                                255, &canvas);
    }
    // The defaults belong to this layout: they do not ask for another one.
    document_.SetModified(false);
}

const LineRecord* RichLayout::LineNumbered(uint32_t number) const {
    if (number == 0 || number > lines_.size()) {
        return nullptr;
    }
    return &lines_[number - 1];
}

const LineRecord* RichLayout::LineOf(uint32_t position) const {
    if (lines_.empty()) {
        return nullptr;
    }
    auto after = std::upper_bound(lines_.begin(), lines_.end(), position,
                                  [](uint32_t p, const LineRecord& line) { return p < line.first; });
    return after == lines_.begin() ? &lines_.front() : &*(after - 1);
}

void RichLayout::ClearVisible() {
    first_visible_ = 0;
    last_visible_ = 0;
    top_line_ = 0;
    visible_count_ = 0;
}

void RichLayout::ComputeVisibleLines() {
    if (lines_.empty()) {
        ClearVisible();
        return;
    }
    const auto count = static_cast<uint32_t>(lines_.size());
    if (top_line_ == 0) {
        top_line_ = 1;
    } else {
        // The smallest top line from which the rest of the text still fills the view.
        uint32_t lowest = count;
        float sum = 0.0f;
        for (uint32_t n = count; n >= 1; --n) {
            if (sum + lines_[n - 1].height > static_cast<float>(text_height_)) {
                break;
            }
            sum += lines_[n - 1].height;
            lowest = n;
        }
        top_line_ = std::min(top_line_, lowest);
    }
    ShowLinesFromTop();
}

void RichLayout::ShowLinesFromTop() {
    const auto count = static_cast<uint32_t>(lines_.size());
    first_visible_ = top_line_;
    last_visible_ = top_line_;
    float sum = lines_[top_line_ - 1].height;  // the first line is always shown
    while (last_visible_ < count &&
           sum + lines_[last_visible_].height <= static_cast<float>(text_height_)) {
        sum += lines_[last_visible_].height;
        ++last_visible_;
    }
    visible_count_ = last_visible_ - first_visible_ + 1;
}

void RichLayout::ShowFromLine(uint32_t number) {
    keep_lines_ = 1;
    needs_paint_ = 1;
    top_line_ = number;
    if (lines_.empty()) {
        first_visible_ = 0;
        last_visible_ = 0;
        visible_count_ = 0;
        return;
    }
    top_line_ = std::clamp<uint32_t>(number, 1, static_cast<uint32_t>(lines_.size()));
    ShowLinesFromTop();
}

void RichLayout::ScrollUp() {
    user_scrolled_ = 1;
    if (!lines_.empty() && top_line_ > 1) {
        --top_line_;
        ComputeVisibleLines();
        needs_paint_ = 1;
    }
}

void RichLayout::ScrollDown() {
    user_scrolled_ = 1;
    if (!lines_.empty() && last_visible_ < line_count_) {
        ++top_line_;
        ComputeVisibleLines();
        needs_paint_ = 1;
    }
}

float RichLayout::WidthThrough(RichPainter& painter, const LineRecord& line, uint32_t through) const {
    if (line.Empty() || through < line.first) {
        return 0.0f;
    }
    return painter.Width(line.start, line.first, std::min(through, line.last));
}

uint32_t RichLayout::HitPosition(RichPainter& painter, const LineRecord& line, float x) const {
    if (line.Empty()) {
        return line.first;
    }
    float before = 0.0f;
    for (uint32_t p = line.first; p <= line.last; ++p) {
        const float width = WidthThrough(painter, line, p);
        if (x <= width) {
            return x < (before + width) / 2.0f ? p : p + 1;
        }
        before = width;
    }
    return line.last + 1;
}

void RichLayout::PaintLines(CanvasInterface& canvas) {
    if (first_visible_ == 0) {
        return;
    }
    RichPainter painter(canvas, mode_);
    float y = top_margin_;
    for (uint32_t n = first_visible_; n <= last_visible_ && n <= lines_.size(); ++n) {
        const LineRecord& line = lines_[n - 1];
        PaintLine(painter, line, y);
        y = static_cast<float>(static_cast<int32_t>(y + line.height));
    }
}

void RichLayout::PaintLine(RichPainter& painter, const LineRecord& line, float y) {
    CanvasInterface& canvas = painter.Canvas();
    canvas.MoveTo(static_cast<float>(left_margin_), y);
    if (line.Empty()) {
        return;
    }
    std::string text;
    WalkPieces(line.start, line.first, line.last, [&](const RichPiece& piece) {
        if (piece.image == nullptr) {
            SetRunColourAndFont(canvas, piece.text_font);
            text.assign(piece.chars, piece.count);
            canvas.DrawText(text.c_str());
        } else if (mode_ == RichMode::Graphic) {
            ShowImage(canvas, *piece.image);
        } else {
            SetRunColourAndFont(canvas, piece.image_name_font);
            canvas.DrawText(ImageNameText(piece.image));
        }
    });
}

void RichLayout::ShowImage(CanvasInterface& canvas, const ImageSlot& slot) {
    float pen_x = 0.0f;
    float pen_y = 0.0f;
    canvas.PenPosition(&pen_x, &pen_y);
    if (slot.sprite != 0) {
        const auto x = static_cast<int32_t>(static_cast<float>(rect_.x1) + pen_x) + slot.width / 2;
        const auto y = static_cast<int32_t>(static_cast<float>(rect_.y1) + pen_y) + slot.height / 2;
        MoveSprite(slot.port, slot.sprite, x, y, kSend);
        SetSpriteVisible(slot.port, slot.sprite, true, kSend);
    }
    canvas.MoveTo(pen_x + static_cast<float>(slot.width), pen_y);
}

}  // namespace wm
