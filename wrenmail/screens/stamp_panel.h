// The write screen's stamp panel: four categories of stamps read from the scene's dictionaries
// "DctWrIcons1" to "DctWrIcons4", each shown eight at a time in the slots A to H with a caption
// under each, scrolled by rows of four. A click on a stamp puts it into the body at the cursor.
#ifndef WRENMAIL_SCREENS_STAMP_PANEL_H
#define WRENMAIL_SCREENS_STAMP_PANEL_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "edict.h"
#include "messaging/intrusive_list.h"

namespace wm {

class DataDictReader;
class RichTextView;
class StampPanel;

inline constexpr std::size_t kStampSlots = 8;
inline constexpr std::size_t kStampCategories = 4;
// Scrolling moves by one row of slots.
inline constexpr std::size_t kStampRow = 4;

// One stamp of a category: its picture's sprite and the caption shown under it.
struct StampEntry {
    StampEntry* next = nullptr;
    StampEntry* prev = nullptr;
    uint16_t sprite = 0;
    std::string caption;
    uint16_t scene = 0;
    int32_t x = 0;
    int32_t y = 0;
};

struct SlotPoint {
    int32_t x;
    int32_t y;
};

// One category: its stamps in the dictionary's order and how far they are scrolled.
class StampPage {
public:
    // Reads the category's dictionary and creates the page's own sprites, all hidden.
    StampPage(StampPanel& owner, uint32_t index, uint16_t scene);
    StampPage(const StampPage&) = delete;
    StampPage& operator=(const StampPage&) = delete;
    ~StampPage();

    void Show();
    void Hide();
    // Both move by a whole row or not at all; true when they moved.
    bool ScrollDown();
    bool ScrollUp();
    // Highlight and clicks over the slots; true when the record was the page's.
    bool HandleMessage(EDict* record, RichTextView* editor);

    const std::string& Category() const { return category_; }
    uint32_t Index() const { return index_; }
    StampPanel& Owner() const { return *owner_; }
    // The click target of slot k.
    uint16_t SlotSprite(std::size_t slot) const { return slot_sprites_[slot]; }
    std::size_t Size() const { return stamps_.Size(); }
    const StampEntry* FirstVisible() const { return first_visible_; }
    // The stamp shown in slot k, null when the slot is empty.
    const StampEntry* InSlot(std::size_t slot) const;
    static const std::array<SlotPoint, kStampSlots>& SlotPoints();

private:
    // One entry per form of the bound dictionary, in its order.
    void ReadStamps(DataDictReader& reader);
    void CreateCaptions();
    // Takes the shown stamps away and blanks every caption, before showing other ones.
    void Clear();
    // The slot whose click target is the sprite; kStampSlots when none is.
    std::size_t SlotOf(uint16_t sprite) const;
    void Highlight(std::size_t slot, uint16_t action);

    IntrusiveList<StampEntry> stamps_;
    std::string category_;
    uint16_t page_sprite_ = 0;
    uint32_t index_ = 0;
    StampEntry* first_visible_ = nullptr;
    uint16_t scene_ = 0;
    std::array<uint16_t, kStampSlots> captions_{};
    std::array<uint16_t, kStampSlots> boxes_{};
    uint16_t highlight_ = 0;
    std::array<uint16_t, kStampSlots> slot_sprites_{};
    StampPanel* owner_ = nullptr;
};

class StampPanel {
public:
    // The editor is the write screen's and stays its own.
    StampPanel(uint16_t scene, RichTextView* editor);
    StampPanel(const StampPanel&) = delete;
    StampPanel& operator=(const StampPanel&) = delete;
    ~StampPanel();

    void Open();
    void Close();
    bool IsOpen() const { return open_ != 0; }
    // True when the panel took the record; a click on a stamp inserts it but is not taken.
    bool HandleMessage(EDict* record);
    void SelectCategory(uint32_t index);

    uint32_t CurrentCategory() const { return current_; }
    StampPage& Page(std::size_t index) { return *pages_[index]; }
    uint16_t Scene() const { return scene_; }

private:
    bool OnCategoryPointer(EDict* record);
    bool OnClick(uint16_t sprite);
    // The current category's button rolls; the others are up.
    void RefreshButtonLooks();
    // The bar, the arrows and the eight click targets.
    void SetChromeVisible(bool visible);

    std::array<std::unique_ptr<StampPage>, kStampCategories> pages_;
    uint32_t current_ = 0;
    RichTextView* editor_ = nullptr;
    uint16_t scene_ = 0;
    std::array<uint16_t, kStampCategories> category_buttons_{};
    uint16_t bar_ = 0;
    uint16_t arrow_up_ = 0;
    uint16_t arrow_down_ = 0;
    uint8_t open_ = 0;
};

}  // namespace wm

#endif
