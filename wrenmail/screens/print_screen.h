// The print screen (scene ScPrPrint): fills the printed page with the current message and asks
// the host to print the scene, page after page, until the whole body has been printed. The
// first page carries the header and a smaller body area; every further page a page number and a
// larger body area, showing the body from the line after the last one printed. Pages are paced
// by TimerPortTick: a further page is printed only once its body view has been painted.
#ifndef WRENMAIL_SCREENS_PRINT_SCREEN_H
#define WRENMAIL_SCREENS_PRINT_SCREEN_H

#include <cstdint>
#include <memory>

#include "controls/rich_text_view.h"
#include "edict.h"

namespace wm {

struct PrintScreenState {
    std::unique_ptr<RichTextView> view;  // the page being printed; none while inactive
    uint32_t page_number = 0;            // 1 for the first page
    uint32_t next_top_line = 0;          // the first body line of the next page
    uint32_t lines_printed = 0;
    uint8_t page_pending = 0;  // a further page is set up and waits to be printed
};

PrintScreenState& PrintScreen();

// The records of WNPrintPort and, while the screen is active, TimerPortTick. True only when the
// print view took the record.
bool HandlePrintMessage(EDict* record);

}  // namespace wm

#endif
