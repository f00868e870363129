// The list box proper: text items with their data, the default row drawing, the font and the
// selection colour.
#ifndef WRENMAIL_CONTROLS_LIST_BOX_H
#define WRENMAIL_CONTROLS_LIST_BOX_H

#include <memory>
#include <string>
#include <vector>

#include "controls/list_box_base.h"

namespace wm {

class PMListBox : public PMListBoxBase {
public:
    explicit PMListBox(const ListBoxGeometry& geometry);

    void DrawItem(CanvasInterface& canvas, uint32_t index, int32_t left, int32_t top,
                  int32_t right, int32_t bottom, bool selected) override;
    uint32_t MeasureRowHeight(CanvasInterface& canvas) override;
    bool AddItem(const char* text, uint32_t data) override;
    void RemoveItem(uint32_t index) override;
    void RemoveAll() override;
    ItemView SelectedText(uint32_t n) const override;
    ItemView ItemAt(uint32_t index) const override;
    const char* FindItem(uint32_t data) const override;
    uint32_t GetItemCount() const override;
    void SetSelectionColour(uint8_t red, uint8_t green, uint8_t blue) override;
    void SetFont(const char* name, uint32_t size) override;

    const std::string& FontName() const { return font_name_; }
    uint32_t FontSize() const { return font_size_; }

protected:
    struct Item {
        std::string text;
        uint32_t data;
    };

    // Boxed so that a text stays where it is while the list grows: posted records point at it.
    std::vector<std::unique_ptr<Item>> items_;
    Rgb selection_colour_{160, 160, 164};
    std::string font_name_ = "Times";
    uint32_t font_size_ = 14;
};

}  // namespace wm

#endif
