#include "controls/rich_text_keys.h"

#include <algorithm>

#include "controls/rich_cursor.h"
#include "controls/rich_layout.h"
#include "messaging/name_atoms.h"
#include "richtext/rich_document.h"
#include "virtual_keys.h"

namespace wm {
namespace {

constexpr int kTabSpaces = 5;

}  // namespace

RichTextKeys::RichTextKeys(RichDocument& document, RichLayout& layout)
    : document_(document), layout_(layout), cursor_(layout.Cursor()) {}

bool RichTextKeys::Handle(const EDict* record) {
    // Codes above 127 read as negative and so fall to the typed-character rule.
    const auto key = static_cast<int8_t>(EDictGetLong(record, atoms::KEY));
    if (EDictGetLong(record, atoms::CTLKEY) != 0) {
        return WithControl(key);
    }
    return Plain(key, record);
}

bool RichTextKeys::WithControl(int8_t key) {
    switch (key) {
        case VKEY_PAGE_UP: {
            const LineRecord* line = layout_.LineNumbered(layout_.FirstVisible());
            if (line != nullptr) {
                cursor_.MoveTo(line->first);
            }
            return true;
        }
        case VKEY_PAGE_DOWN: {
            const LineRecord* line = layout_.LineNumbered(layout_.LastVisible());
            if (line != nullptr) {
                cursor_.MoveTo(line->last + 1);
                cursor_.SetAtLineEnd(true);
            }
            return true;
        }
        case VKEY_END:
            if (document_.Length() > 0) {
                cursor_.MoveTo(document_.Length() + 1);
            }
            return true;
        case VKEY_HOME:
            if (document_.Length() > 0) {
                cursor_.MoveTo(1);
            }
            return true;
        case VKEY_LEFT:
            cursor_.MoveTo(document_.PreviousWordStart(cursor_.Position()));
            return true;
        case VKEY_RIGHT:
            cursor_.MoveTo(document_.NextWordStart(cursor_.Position()));
            return true;
        case VKEY_C:
        case VKEY_V:
        case VKEY_X:
            return true;  // copy, paste and cut are not offered: taken so nothing else acts
        default:
            return false;
    }
}

bool RichTextKeys::Plain(int8_t key, const EDict* record) {
    switch (key) {
        case VKEY_BACKSPACE:
            Backspace();
            return true;
        case VKEY_TAB:
            for (int i = 0; i < kTabSpaces; ++i) {
                Insert(' ');
            }
            return true;
        case VKEY_ENTER:
            Insert('\n');
            return true;
        case VKEY_ESCAPE:
            return true;
        case VKEY_PAGE_UP:
        case VKEY_PAGE_DOWN:
            Page(key == VKEY_PAGE_DOWN);
            return true;
        case VKEY_END:
            End();
            return true;
        case VKEY_HOME:
            Home();
            return true;
        case VKEY_LEFT:
            cursor_.MoveLeft();
            return true;
        case VKEY_UP:
            cursor_.MoveVertically(-1);
            return true;
        case VKEY_RIGHT:
            cursor_.MoveRight();
            return true;
        case VKEY_DOWN:
            cursor_.MoveVertically(1);
            return true;
        case VKEY_DELETE:
            if (cursor_.Position() <= document_.Length()) {
                document_.DeleteRange(cursor_.Position(), cursor_.Position());
            }
            return true;
        default:
            break;
    }
    if (!EDictHasKey(record, atoms::ASCII)) {
        return false;
    }
    const auto typed = static_cast<int8_t>(EDictGetLong(record, atoms::ASCII));
    if (typed < 32) {  // a signed byte: 128 and above read as negative
        return false;
    }
    Insert(static_cast<char>(typed));
    return true;
}

void RichTextKeys::Backspace() {
    const uint32_t position = cursor_.Position();
    if (position > 1) {
        cursor_.MoveLeft();
        document_.DeleteRange(position - 1, position - 1);
    }
}

void RichTextKeys::Insert(char character) {
    if (document_.InsertCharacter(cursor_.Position(), character)) {
        cursor_.MoveRight();
    }
}

const LineRecord* RichTextKeys::HomeEndLine() const {
    const uint32_t position = cursor_.Position();
    return layout_.LineOf(cursor_.AtLineEnd() && position > 1 ? position - 1 : position);
}

void RichTextKeys::Home() {
    const LineRecord* line = HomeEndLine();
    if (line != nullptr) {
        cursor_.MoveTo(line->first);
    }
}

// After the line's last position. An empty line's last position is 0, so End on it goes to
// position 1.
void RichTextKeys::End() {
    const LineRecord* line = HomeEndLine();
    if (line != nullptr) {
        cursor_.MoveTo(line->last + 1);
        cursor_.SetAtLineEnd(true);
    }
}

void RichTextKeys::Page(bool down) {
    const LineRecord* line = cursor_.Line();
    if (line == nullptr) {
        return;
    }
    const uint32_t shown = layout_.VisibleCount();
    const uint32_t count = layout_.LineCount();
    uint32_t target_number = 0;
    if (down) {
        layout_.SetTopLine(std::min(count, layout_.FirstVisible() + shown));
        target_number = std::min(count, line->number + shown);
    } else {
        layout_.SetTopLine(layout_.TopLine() > shown ? layout_.TopLine() - shown : 1);
        target_number = line->number > shown ? line->number - shown : 1;
    }
    const LineRecord* target = layout_.LineNumbered(target_number);
    if (target == nullptr) {
        return;
    }
    const uint32_t offset = cursor_.Position() >= line->first ? cursor_.Position() - line->first : 0;
    uint32_t position = target->first + offset;
    if (position > target->last) {
        position = target->last + 1;  // 1 for an empty target, whose last position is 0
    }
    cursor_.MoveTo(position);
}

}  // namespace wm
