#include "controls/list_box.h"

#include <algorithm>

namespace wm {
namespace {

// The font name keeps at most this many characters, as the fixed field it stands for.
constexpr std::size_t kFontNameLimit = 256;

}  // namespace

PMListBox::PMListBox(const ListBoxGeometry& geometry) : PMListBoxBase(geometry) {}

void PMListBox::DrawItem(CanvasInterface& canvas, uint32_t index, int32_t left, int32_t top,
                         int32_t right, int32_t bottom, bool selected) {
    SetColour(canvas, selected ? selection_colour_ : face_);
    DrawRectangle(canvas, static_cast<float>(left), static_cast<float>(top),
                  static_cast<float>(right), static_cast<float>(bottom), 1.0f, true);
    canvas.MoveTo(static_cast<float>(left + 4), static_cast<float>(top));
    SetColour(canvas, text_);
    canvas.SelectFont(font_name_.c_str(), selected ? 1 : 0, static_cast<int32_t>(font_size_));
    const ItemView item = ItemAt(index);
    canvas.DrawText(item.text != nullptr ? item.text : "");
}

uint32_t PMListBox::MeasureRowHeight(CanvasInterface& canvas) {
    canvas.SelectFont(font_name_.c_str(), 0, static_cast<int32_t>(font_size_));
    int32_t width = 0;
    int32_t height = 0;
    canvas.MeasureTextInt("Gg", &width, &height);
    const auto row_height = static_cast<uint32_t>(std::max(height + 2, 1));
    if (height_ > 0) {
        scroll_bar_->SetStep(100 * row_height / height_ + 1);
    }
    return row_height;
}

bool PMListBox::AddItem(const char* text, uint32_t data) {
    if (text == nullptr) {
        return false;
    }
    items_.push_back(std::make_unique<Item>(Item{text, data}));
    item_count_ = static_cast<uint32_t>(items_.size());
    dirty_ = true;
    UpdateScrollBar();
    return true;
}

void PMListBox::RemoveItem(uint32_t index) {
    if (index >= items_.size()) {
        return;
    }
    items_.erase(items_.begin() + index);
    item_count_ = static_cast<uint32_t>(items_.size());
    dirty_ = true;
    UpdateScrollBar();
}

void PMListBox::RemoveAll() {
    items_.clear();
    item_count_ = 0;
    dirty_ = true;
    UpdateScrollBar();
}

ItemView PMListBox::SelectedText(uint32_t n) const {
    const int32_t index = SelectedIndexAt(n);
    return index < 0 ? ItemView{nullptr, 0} : ItemAt(static_cast<uint32_t>(index));
}

ItemView PMListBox::ItemAt(uint32_t index) const {
    if (index >= items_.size()) {
        return ItemView{nullptr, 0};
    }
    return ItemView{items_[index]->text.c_str(), items_[index]->data};
}

const char* PMListBox::FindItem(uint32_t data) const {
    for (const auto& item : items_) {
        if (item->data == data) {
            return item->text.c_str();
        }
    }
    return nullptr;
}

uint32_t PMListBox::GetItemCount() const { return item_count_; }

void PMListBox::SetSelectionColour(uint8_t red, uint8_t green, uint8_t blue) {
    selection_colour_ = Rgb{red, green, blue};
    dirty_ = true;
}

void PMListBox::SetFont(const char* name, uint32_t size) {
    font_name_ = std::string(name != nullptr ? name : "").substr(0, kFontNameLimit);
    font_size_ = size;
    dirty_ = true;
    scroll_bar_stale_ = true;
}

}  // namespace wm
