// The painted list box's common part: geometry, row arithmetic, the selection, the link to its
// scroll bar and the drawing loop. The item storage and the row drawing come from a subclass.
#ifndef WRENMAIL_CONTROLS_LIST_BOX_BASE_H
#define WRENMAIL_CONTROLS_LIST_BOX_BASE_H

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/control_base.h"
#include "controls/draw_request.h"
#include "controls/scroll_bar.h"
#include "controls/sprite_resources.h"

namespace wm {

struct ListBoxGeometry {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t scroll_bar_width;
    bool multiple_selection;
    uint16_t scene_port;
    uint16_t event_port;
    uint16_t up_template;  // the scroll bar's arrows (0: drawn by the bar)
    uint16_t down_template;
    bool arrows_apart;
    int32_t depth;  // the scroll bar's; the list sits one above it
};

struct ItemView {
    const char* text;  // null when there is no such item
    uint32_t data;
};

class PMListBoxBase : public PMControlBase {
public:
    explicit PMListBoxBase(const ListBoxGeometry& geometry);
    ~PMListBoxBase() override;

    bool OwnsSprite(uint16_t atom) const override;
    void Show() override;
    void Hide() override;
    bool MouseDown(int32_t x, int32_t y, bool shift, bool ctrl) override;
    bool MouseUp(int32_t x, int32_t y, bool shift, bool ctrl) override;
    bool MouseMove(int32_t x, int32_t y) override;
    bool Key(int32_t key, bool shift, bool ctrl) override;
    void Message(EDict* record) override;

    // Table order after the control's thirteen operations; subclasses keep it.
    virtual uint32_t GetTopRow() const;
    virtual int32_t SelectedIndexAt(uint32_t n) const;
    virtual void ScrollUp();
    virtual void ScrollDown();
    virtual void SetTopRow(uint32_t row);
    virtual void SelectOnly(uint32_t index);
    virtual void Select(uint32_t index);
    virtual void Deselect(uint32_t index);
    virtual bool Draw(CanvasInterface& canvas);
    virtual void SyncFromScrollBar();
    virtual void UpdateScrollBar();
    virtual bool IsSelected(uint32_t index) const;
    virtual void DrawItem(CanvasInterface& canvas, uint32_t index, int32_t left, int32_t top,
                          int32_t right, int32_t bottom, bool selected) = 0;
    virtual uint32_t MeasureRowHeight(CanvasInterface& canvas) = 0;
    virtual void RowClicked(uint32_t index, bool selected, bool shift, bool ctrl);
    virtual bool AddItem(const char* text, uint32_t data) = 0;
    virtual void RemoveItem(uint32_t index) = 0;
    virtual void RemoveAll() = 0;
    virtual ItemView SelectedText(uint32_t n) const = 0;
    virtual ItemView ItemAt(uint32_t index) const = 0;
    virtual const char* FindItem(uint32_t data) const = 0;
    virtual uint32_t GetItemCount() const = 0;
    virtual void SetSelectionColour(uint8_t red, uint8_t green, uint8_t blue) = 0;
    virtual void SetFont(const char* name, uint32_t size) = 0;

    // The handler of "ListCanvasPort".
    static bool HXCALL PM_ListDraw(EDict* record);
    static DrawAnswer& DrawAnswers();

    // The colour behind the rows (the face colour); not one of the table's operations.
    void SetBackground(uint8_t red, uint8_t green, uint8_t blue);
    uint16_t Sprite() const { return sprite_; }
    PMScroll& ScrollBar() { return *scroll_bar_; }
    uint32_t VisibleRows() const { return visible_rows_; }
    uint32_t RowHeight() const { return row_height_; }
    bool Dirty() const { return dirty_; }
    std::size_t SelectionSize() const { return selection_.size(); }

protected:
    bool InRows(int32_t x, int32_t y) const;
    void Click(int32_t x, int32_t y, bool shift, bool ctrl);
    void ExtendSelection(uint32_t row, bool shift, bool ctrl);
    void DeselectAll(bool tell_row_clicked, bool shift, bool ctrl);
    void PostSelection(uint16_t type, uint32_t index);

    uint32_t scroll_bar_width_;
    uint32_t top_row_ = 0;
    uint32_t item_count_ = 0;
    uint32_t visible_rows_ = 0;
    uint32_t row_height_ = 0;
    bool dirty_ = true;
    bool scroll_bar_stale_ = true;
    bool pressed_ = false;
    bool multiple_selection_;
    std::unique_ptr<PMScroll> scroll_bar_;
    uint16_t sprite_ = 0;
    CanvasSprite canvas_{};
    std::vector<uint32_t> selection_;  // item indexes, in the order they were selected
};

}  // namespace wm

#endif
