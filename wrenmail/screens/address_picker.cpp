#include "screens/address_picker.h"

#include <algorithm>

#include "store/address_book.h"

namespace wm {
namespace {

constexpr int32_t kInset = 2;
constexpr Rgb kFrame{0, 0, 0};

ListBoxGeometry PickerGeometry(uint16_t scene_port, uint16_t event_port) {
    return ListBoxGeometry{137, 100, 90, 150, 18, false, scene_port, event_port, 0, 0, true, 5};
}

}  // namespace

const Rgb PMAddressPicker::kBackground{73, 128, 227};

PMAddressPicker::PMAddressPicker(uint16_t scene_port, uint16_t event_port)
    : PMListBox(PickerGeometry(scene_port, event_port)) {
    face_ = kBackground;
}

void PMAddressPicker::Fill(const char* kiteId) {
    if (kiteId != nullptr && kiteId[0] != '\0') {
        for (const AddressBookName& name : SortedBookNames(kiteId)) {
            AddItem(name.text, name.atom);
        }
    }
    Show();
}

bool PMAddressPicker::Draw(CanvasInterface& canvas) {
    if (!dirty_) {
        return false;
    }
    row_height_ = std::max<uint32_t>(MeasureRowHeight(canvas), 1);
    const CanvasSize size = canvas.Size();
    const auto width = static_cast<float>(size.width);
    const auto height = static_cast<float>(size.height);
    SetColour(canvas, face_);
    DrawRectangle(canvas, 0.0f, 0.0f, width, height, 1.0f, true);
    SetColour(canvas, kFrame);
    DrawRectangle(canvas, 0.0f, 0.0f, width, height, 1.0f, false);
    const uint32_t count = GetItemCount();
    const auto step = static_cast<int32_t>(row_height_);
    int32_t y = 0;
    for (uint32_t row = top_row_; row < count && y < size.height; ++row, y += step) {
        DrawItem(canvas, row, kInset, y + kInset, size.width - kInset, y + step - kInset, IsSelected(row));
    }
    dirty_ = false;
    if (scroll_bar_stale_) {
        UpdateScrollBar();
        scroll_bar_stale_ = false;
    }
    return true;
}

}  // namespace wm
