// The main screen's list of messages: each item is drawn as three columns (From, Subject, Date),
// texts shortened with "..." to fit, on alternately tinted rows.
#ifndef WRENMAIL_CONTROLS_MAILBOX_LIST_H
#define WRENMAIL_CONTROLS_MAILBOX_LIST_H

#include <cstddef>
#include <cstdint>

#include "controls/list_box.h"

namespace wm {

struct ColumnShares {
    int32_t from;     // per cent of the row width
    int32_t subject;  // per cent of the row width
    int32_t date;     // kept; the Date column takes whatever is left of the row
};

struct ColumnBounds {
    int32_t subject_x;
    int32_t date_x;
};

// Where the Subject and Date columns start in a row from `left` to `right`.
ColumnBounds ColumnBoundaries(const ColumnShares& shares, int32_t left, int32_t right);

inline constexpr std::size_t kLineBufferSize = 256;

// Writes into `out` (kLineBufferSize bytes) the text, or its longest leading part that fits the
// room with "..." appended, or "..." alone when not even one character does.
void FitText(CanvasInterface& canvas, const char* text, int32_t room, char* out);

class PMMailboxList : public PMListBox {
public:
    PMMailboxList(const ListBoxGeometry& geometry, const ColumnShares& shares);

    void DrawItem(CanvasInterface& canvas, uint32_t index, int32_t left, int32_t top,
                  int32_t right, int32_t bottom, bool selected) override;
    // Appended after the list box's last operation.
    virtual bool IsOwnSprite(uint16_t atom) const;

private:
    ColumnShares shares_;
};

}  // namespace wm

#endif
