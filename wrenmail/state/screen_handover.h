// What screens hand to each other: they never pass it in message keys, only through this state.
#ifndef WRENMAIL_STATE_SCREEN_HANDOVER_H
#define WRENMAIL_STATE_SCREEN_HANDOVER_H

#include <cstddef>
#include <cstdint>

namespace wm {

// Room of the reply texts, their terminating NUL included; longer texts are cut.
inline constexpr std::size_t kReplyTextSize = 128;

class PMScreenBase;

struct ScreenHandover {
    // The screen that opened the address book over itself; it keeps its cover up meanwhile.
    PMScreenBase* address_book_caller = nullptr;
    // The mail service's message the read screen shows and the write screen answers (0: none).
    uint32_t current_message = 0;
    // The mailbox list's order, kept across visits: 0 From, 1 Subject, 2 Date.
    int32_t sort_key = 2;
    bool sort_descending = true;
    // Set by the read screen's Reply; the write screen prepares the reply and clears it.
    uint8_t reply_pending = 0;
    char reply_address[kReplyTextSize] = {};
    char reply_subject[kReplyTextSize] = {};
    // 1: stamps shown as pictures, 0: as their names. Shared by the write, read and print screens.
    uint8_t display_mode = 1;
    // Set while a message is being printed; the Print buttons wait for it to clear.
    uint8_t printing = 0;
};

// Frees the mail service's current message, when there is one, and forgets it.
void FreeCurrentMessage();

// Copies `text` into a reply buffer, cut to fit; null gives the empty text.
void SetReplyText(char (&buffer)[kReplyTextSize], const char* text);

ScreenHandover& Handover();

}  // namespace wm

#endif
