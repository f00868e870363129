// The keyboard of a rich text view: editing, cursor moves and paging by virtual-key code, with
// and without Control.
#ifndef WRENMAIL_CONTROLS_RICH_TEXT_KEYS_H
#define WRENMAIL_CONTROLS_RICH_TEXT_KEYS_H

#include <cstdint>

#include "edict.h"

namespace wm {

class RichDocument;
class RichLayout;
class RichCursor;
struct LineRecord;

class RichTextKeys {
public:
    RichTextKeys(RichDocument& document, RichLayout& layout);

    // A key message (KEY, CTLKEY, ASCII); true when the key was taken.
    bool Handle(const EDict* record);

private:
    bool WithControl(int8_t key);
    bool Plain(int8_t key, const EDict* record);
    void Backspace();
    void Insert(char character);
    void Home();
    void End();
    void Page(bool down);
    // The line Home and End act on: the one the cursor is shown on (the previous position's when
    // it stands at a line's end).
    const LineRecord* HomeEndLine() const;

    RichDocument& document_;
    RichLayout& layout_;
    RichCursor& cursor_;
};

}  // namespace wm

#endif
