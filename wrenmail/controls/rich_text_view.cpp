#include "controls/rich_text_view.h"

#include <algorithm>

#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

uint16_t NonNegative(int32_t value) {
    return static_cast<uint16_t>(std::clamp<int32_t>(value, 0, 65535));
}

}  // namespace

RichTextView::RichTextView(uint16_t port, uint16_t sprite)
    : layout_(std::make_unique<RichLayout>(document_, port, sprite)),
      port_(port),
      sprite_(sprite),
      keys_(document_, *layout_) {
    document_.SetImagePort(port);
}

RichTextView::~RichTextView() = default;

bool RichTextView::InsertImageAtCursor(uint16_t source, const char* name_text) {
    RichCursor& cursor = Cursor();
    if (!document_.InsertImage(cursor.Position(), port_, source, name_text, 0, 0)) {
        return false;
    }
    cursor.MoveRight();
    document_.InsertCharacter(cursor.Position(), ' ');
    cursor.MoveRight();
    return true;
}

void RichTextView::SetTextMode() { SetMode(RichMode::Text); }
void RichTextView::SetGraphicMode() { SetMode(RichMode::Graphic); }

void RichTextView::SetMode(RichMode mode) {
    if (layout_->Mode() == RichMode::Graphic) {
        document_.HideImageSprites();
    }
    layout_->SetMode(mode);
    layout_->SetNeedsPaint();
    // Images change width between the modes: the whole text is laid out again.
    document_.SetModified(true);
}

void RichTextView::Focus() {
    focused_ = 1;
    layout_->SetFocused(true);
    Cursor().PostVisible(Cursor().InView());
}

void RichTextView::Unfocus() {
    focused_ = 0;
    layout_->SetFocused(false);
    Cursor().PostVisible(false);
}

void RichTextView::SetReadOnly(bool read_only) {
    read_only_ = read_only ? 1 : 0;
    layout_->SetReadOnly(read_only);
    Cursor().PostVisible(read_only ? false : Cursor().InView());
}

bool RichTextView::HandleMessage(EDict* record) {
    const uint16_t type = EDictGetType(record);
    switch (type) {
        case code::kKeyPressed:
            return focused_ != 0 && read_only_ == 0 && keys_.Handle(record);
        case code::kClick:
            return OnButton(record);
        case code::kPress:
            return OnPress(record);
        case code::kSpriteReady:
            return OnSpriteReady(record);
        case code::kDraw:
            if (EDictGetShort(record, atoms::NAME) != sprite_) {
                return false;
            }
            layout_->Paint(record);  // taken even when there is nothing to paint
            return true;
        default:
            break;
    }
    if (type == atoms::actions::CursorBlinkMessage) {
        Cursor().Blink();
        return true;
    }
    return false;
}

bool RichTextView::OnButton(const EDict* record) {
    const uint16_t name = EDictGetShort(record, atoms::NAME);
    if (name == atoms::richview::BtnWrEditorUp) {
        layout_->ScrollUp();
        return true;
    }
    if (name == atoms::richview::BtnWrEditorDown) {
        layout_->ScrollDown();
        return true;
    }
    return false;
}

bool RichTextView::OnPress(const EDict* record) {
    const int32_t x = EDictGetLong(record, atoms::X);
    const int32_t y = EDictGetLong(record, atoms::Y);
    if (!layout_->InsideText(x, y)) {
        return false;
    }
    if (read_only_ != 0) {
        return true;
    }
    Cursor().Click(NonNegative(x - layout_->TextLeft()), NonNegative(y - layout_->TextTop()));
    if (focused_ == 0) {
        Focus();
    }
    return true;
}

bool RichTextView::OnSpriteReady(const EDict* record) {
    const uint16_t name = EDictGetShort(record, atoms::NAME);
    if (name == sprite_) {
        layout_->LearnGeometry();
        return true;
    }
    if (name == Cursor().Sprite()) {
        Cursor().PostVisible(focused_ != 0 && read_only_ == 0);
        return true;
    }
    return false;
}

}  // namespace wm
