#include "controls/list_box_base.h"

#include <algorithm>

#include "controls/control_atoms.h"
#include "hxmsg.h"
#include "messaging/delivery_scope.h"

namespace wm {
namespace {

struct ListRegistry {
    int32_t live = 0;
    long name_counter = 0;
};

ListRegistry& Lists() {
    static ListRegistry registry;
    return registry;
}

// The list's own bar: its arrow steps scroll the list by whole rows.
class ListScrollBar : public PMScroll {
public:
    // Routable only with its list, whose rows it moves.
    ListScrollBar(const ScrollBarGeometry& geometry, PMListBoxBase& list) : PMScroll(geometry), list_(list) {
        SetRoutable(false);
    }
    void StepUp() override {
        if (!Inert()) {
            list_.ScrollUp();
            MarkChanged();
        }
    }
    void StepDown() override {
        if (!Inert()) {
            list_.ScrollDown();
            MarkChanged();
        }
    }

private:
    PMListBoxBase& list_;
};

ScrollBarGeometry BarOf(const ListBoxGeometry& geometry) {
    return ScrollBarGeometry{geometry.x + geometry.width - geometry.scroll_bar_width,
                         geometry.y,
                         geometry.scroll_bar_width,
                         geometry.height,
                         true,
                         geometry.scene_port,
                         geometry.event_port,
                         geometry.up_template,
                         geometry.down_template,
                         geometry.arrows_apart,
                         geometry.depth};
}

}  // namespace

PMListBoxBase::PMListBoxBase(const ListBoxGeometry& geometry)
    : PMControlBase(NotNegative(geometry.x), NotNegative(geometry.y), NotNegative(geometry.width),
                    NotNegative(geometry.height), geometry.scene_port, geometry.event_port),
      scroll_bar_width_(NotNegative(geometry.scroll_bar_width)),
      multiple_selection_(geometry.multiple_selection) {
    ListRegistry& registry = Lists();
    if (registry.live++ == 0) {
        HxPortAttach(atoms::controls::ListCanvasPort, &PM_ListDraw);
    }
    scroll_bar_ = std::make_unique<ListScrollBar>(BarOf(geometry), *this);
    scroll_bar_->SetPageRatio(100);
    scroll_bar_->SetPosition(0);
    sprite_ = CounterAtom("PM List Box Name Number %ld", registry.name_counter++);
    canvas_ = MakeCanvasSprite(CanvasSpriteGeometry{sprite_, scene_port_,
                                                atoms::controls::ListCanvasPort, geometry.x, geometry.y,
                                                geometry.width - geometry.scroll_bar_width, geometry.height,
                                                geometry.depth + 1, true, 0});
    face_ = Rgb{240, 240, 240};
    // The lists built on this base send nothing while they finish their own construction.
    scroll_bar_->SetRoutable(true);
    SetRoutable(true);
}

PMListBoxBase::~PMListBoxBase() {
    SetRoutable(false);
    scroll_bar_->SetRoutable(false);
    ShowOrHideSprite(scene_port_, sprite_, false);
    scroll_bar_->Hide();
    ListRegistry& registry = Lists();
    if (--registry.live == 0) {
        HxPortDetach(atoms::controls::ListCanvasPort, &PM_ListDraw);
        registry.name_counter = 0;
    }
    RemoveCanvasSprite(sprite_, canvas_, scene_port_);
    scroll_bar_.reset();
}

bool PMListBoxBase::OwnsSprite(uint16_t atom) const {
    return (atom != 0 && atom == sprite_) || scroll_bar_->OwnsSprite(atom);
}

void PMListBoxBase::Show() {
    ShowOrHideSprite(scene_port_, sprite_, true);
    scroll_bar_->Show();
}

void PMListBoxBase::Hide() {
    ShowOrHideSprite(scene_port_, sprite_, false);
    scroll_bar_->Hide();
}

bool PMListBoxBase::InRows(int32_t x, int32_t y) const {
    const int64_t left = left_;
    const int64_t top = top_;
    return x >= left && x < left + width_ - scroll_bar_width_ && y >= top &&
           y < top + static_cast<int64_t>(height_);
}

bool PMListBoxBase::MouseDown(int32_t x, int32_t y, bool, bool) {
    pressed_ = InRows(x, y);
    return true;
}

bool PMListBoxBase::MouseUp(int32_t x, int32_t y, bool shift, bool ctrl) {
    const bool clicked = pressed_ && InRows(x, y) && row_height_ > 0;
    if (clicked) {
        Click(x, y, shift, ctrl);
    }
    pressed_ = false;
    SyncFromScrollBar();
    return clicked;
}

void PMListBoxBase::Click(int32_t, int32_t y, bool shift, bool ctrl) {
    const uint32_t row = (static_cast<uint32_t>(y) - top_) / row_height_ + top_row_;
    if (row >= GetItemCount()) {
        DeselectAll(true, shift, ctrl);
    } else if (multiple_selection_ && (ctrl || shift)) {
        ExtendSelection(row, shift, ctrl);
    } else {
        SelectOnly(row);
        RowClicked(row, true, shift, ctrl);
    }
}

void PMListBoxBase::ExtendSelection(uint32_t row, bool shift, bool ctrl) {
    if (ctrl) {
        const bool now_selected = !IsSelected(row);
        if (now_selected) {
            Select(row);
        } else {
            Deselect(row);
        }
        RowClicked(row, now_selected, shift, ctrl);
        return;
    }
    const uint32_t anchor = selection_.empty() ? row : selection_.back();
    for (uint32_t r = std::min(anchor, row); r <= std::max(anchor, row); ++r) {
        Select(r);
        RowClicked(r, true, shift, ctrl);
    }
}

void PMListBoxBase::DeselectAll(bool tell_row_clicked, bool shift, bool ctrl) {
    const std::vector<uint32_t> selected = selection_;
    for (uint32_t index : selected) {
        Deselect(index);
        if (tell_row_clicked) {
            RowClicked(index, false, shift, ctrl);
        }
    }
}

bool PMListBoxBase::MouseMove(int32_t, int32_t) {
    SyncFromScrollBar();
    return false;
}

bool PMListBoxBase::Key(int32_t key, bool shift, bool ctrl) {
    if (!scroll_bar_->Key(key, shift, ctrl)) {
        return false;
    }
    SyncFromScrollBar();
    return true;
}

void PMListBoxBase::Message(EDict*) { SyncFromScrollBar(); }

uint32_t PMListBoxBase::GetTopRow() const { return top_row_; }

int32_t PMListBoxBase::SelectedIndexAt(uint32_t n) const {
    return n < selection_.size() ? static_cast<int32_t>(selection_[n]) : -1;
}

void PMListBoxBase::ScrollUp() {
    if (top_row_ > 0) {
        SetTopRow(top_row_ - 1);
    }
}

void PMListBoxBase::ScrollDown() {
    const uint32_t count = GetItemCount();
    if (count > visible_rows_ && top_row_ + 1 <= count - visible_rows_) {
        SetTopRow(top_row_ + 1);
    }
}

void PMListBoxBase::SetTopRow(uint32_t row) {
    if (row >= GetItemCount() || row == top_row_) {
        return;
    }
    top_row_ = row;
    UpdateScrollBar();
    dirty_ = true;
}

void PMListBoxBase::SelectOnly(uint32_t index) {
    if (index >= GetItemCount()) {
        return;
    }
    DeselectAll(false, false, false);
    Select(index);
}

void PMListBoxBase::Select(uint32_t index) {
    if (index >= GetItemCount()) {
        return;
    }
    if (!multiple_selection_) {
        DeselectAll(false, false, false);
    }
    if (IsSelected(index)) {
        return;
    }
    selection_.push_back(index);
    dirty_ = true;
    PostSelection(atoms::actions::aPMListBoxAddSelectedItem, index);
}

void PMListBoxBase::Deselect(uint32_t index) {
    const auto found = std::find(selection_.begin(), selection_.end(), index);
    if (found == selection_.end()) {
        return;
    }
    selection_.erase(found);
    dirty_ = true;
    PostSelection(atoms::actions::aPMListBoxRemoveSelectedItem, index);
}

void PMListBoxBase::SetBackground(uint8_t red, uint8_t green, uint8_t blue) {
    face_ = Rgb{red, green, blue};
    dirty_ = true;
}

void PMListBoxBase::PostSelection(uint16_t type, uint32_t index) {
    const ItemView item = ItemAt(index);
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    EDictPutText(&record, atoms::STRING, item.text);
    EDictPutLong(&record, atoms::ID, static_cast<int32_t>(item.data));
    EDictPutLong(&record, atoms::controls::ITEM, static_cast<int32_t>(index));
    EDictPutPointer(&record, atoms::controls::POINTER, this);
    HxPortPost(event_port_, &record, 0);
}

bool PMListBoxBase::IsSelected(uint32_t index) const {
    return std::find(selection_.begin(), selection_.end(), index) != selection_.end();
}

void PMListBoxBase::SyncFromScrollBar() {
    const uint32_t count = GetItemCount();
    uint32_t row = 0;
    if (visible_rows_ < count) {
        const uint64_t span = count - visible_rows_;
        row = static_cast<uint32_t>((scroll_bar_->GetPosition() * span + 2500) / kScrollEnd);
    }
    if (row != top_row_) {
        top_row_ = row;
        dirty_ = true;
    }
}

void PMListBoxBase::UpdateScrollBar() {
    const uint32_t count = GetItemCount();
    if (row_height_ > 0) {
        visible_rows_ = height_ / row_height_;
    }
    if (visible_rows_ > 0 && visible_rows_ < count) {
        scroll_bar_->SetPageRatio(count * 100 / visible_rows_);
        scroll_bar_->SetPosition(static_cast<uint32_t>(static_cast<uint64_t>(top_row_) *
                                                       kScrollEnd / (count - visible_rows_)));
    } else {
        scroll_bar_->SetPageRatio(100);
        scroll_bar_->SetPosition(0);
    }
}

void PMListBoxBase::RowClicked(uint32_t, bool, bool, bool) {}

bool PMListBoxBase::Draw(CanvasInterface& canvas) {
    if (!dirty_) {
        return false;
    }
    row_height_ = std::max<uint32_t>(MeasureRowHeight(canvas), 1);
    const CanvasSize size = canvas.Size();
    SetColour(canvas, face_);
    DrawRectangle(canvas, 0.0f, 0.0f, static_cast<float>(size.width),
                  static_cast<float>(size.height), 1.0f, true);
    const uint32_t count = GetItemCount();
    const auto step = static_cast<int32_t>(row_height_);
    int32_t y = 0;
    for (uint32_t row = top_row_; row < count && y < size.height; ++row, y += step) {
        DrawItem(canvas, row, 0, y, size.width - 1, y + step - 1, IsSelected(row));
    }
    dirty_ = false;
    if (scroll_bar_stale_) {
        UpdateScrollBar();
        scroll_bar_stale_ = false;
    }
    return true;
}

DrawAnswer& PMListBoxBase::DrawAnswers() {
    static DrawAnswer answers;
    return answers;
}

bool HXCALL PMListBoxBase::PM_ListDraw(EDict* record) {
    DeliveryScope scope;
    if (record == nullptr) {
        return false;
    }
    DrawAnswers().CountRequest();
    const DrawRequest request = ReadDrawRequest(record);
    auto* list = dynamic_cast<PMListBoxBase*>(FindBySprite(request.sprite));
    if (request.canvas == nullptr || list == nullptr || !list->Draw(*request.canvas)) {
        return false;
    }
    DrawAnswers().Answer(record, list->GetWidth(), list->GetHeight());
    return true;
}

}  // namespace wm
