// What screens hand to each other: they never pass it in message keys, only through this state.
#ifndef WRENMAIL_SHELL_SCREEN_HANDOVER_H
#define WRENMAIL_SHELL_SCREEN_HANDOVER_H

#include <cstdint>

namespace wm {

class PMScreenBase;

struct ScreenHandover {
    // The screen that opened the address book over itself; it keeps its cover up meanwhile.
    PMScreenBase* addressBookCaller = nullptr;
    // The mail service's message the read screen shows and the write screen answers (0: none).
    uint32_t currentMessage = 0;
    // The mailbox list's order, kept across visits: 0 From, 1 Subject, 2 Date.
    int32_t sortKey = 2;
    bool sortDescending = true;
};

ScreenHandover& Handover();

}  // namespace wm

#endif
