// What screens hand to each other: they never pass it in message keys, only through this state.
#ifndef WRENMAIL_SHELL_SCREEN_HANDOVER_H
#define WRENMAIL_SHELL_SCREEN_HANDOVER_H

namespace wm {

class PMScreenBase;

struct ScreenHandover {
    // The screen that opened the address book over itself; it keeps its cover up meanwhile.
    PMScreenBase* addressBookCaller = nullptr;
};

ScreenHandover& Handover();

}  // namespace wm

#endif
