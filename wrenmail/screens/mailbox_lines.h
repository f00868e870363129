// The main screen's list lines: one record per stored inbox message, sorted by the chosen column
// and direction, and formatted as the tab-separated text the mailbox list draws.
//   From \t Subject \t date text \t mail type word
#ifndef WRENMAIL_SCREENS_MAILBOX_LINES_H
#define WRENMAIL_SCREENS_MAILBOX_LINES_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "store/address_book.h"

namespace wm {

class MessageHeaderList;
class PMListBoxBase;

inline constexpr std::size_t kLineFieldSize = 129;  // 128 characters and the terminator
inline constexpr std::size_t kTypeWordSize = 16;
inline constexpr std::size_t kDateTextSize = 64;
inline constexpr std::size_t kFormattedLineSize = 2 * kLineFieldSize + kDateTextSize + kTypeWordSize + 4;

inline constexpr const char* kKiteMailWord = "OrbitMail";
inline constexpr const char* kPlayerMailWord = "PlayerMail";
inline constexpr const char* kUnknownMailWord = "UnknownMail";

enum SortKey : int32_t { SortByFrom = 0, SortBySubject = 1, SortByDate = 2 };

struct SortOrder {
    int32_t key = SortByDate;
    bool descending = true;
};

struct MailboxLine {
    char from[kLineFieldSize];
    char subject[kLineFieldSize];
    uint32_t date;
    char type[kTypeWordSize];
    uint32_t mail_id;
};

// Negative when a goes before b. Equal dates never compare equal: their order is left to the sort.
int CompareLines(const MailboxLine& a, const MailboxLine& b, SortOrder order);

// One record per header, in list order; senders found in the book show its name.
std::vector<MailboxLine> BuildLines(const MessageHeaderList& headers, const SenderNames& book);
void SortLines(std::vector<MailboxLine>& lines, SortOrder order);

// Asks the host for the short date text and joins the four fields, an empty one as " ".
void FormatLine(const MailboxLine& line, char (&out)[kFormattedLineSize]);

// Empties the list and fills it with the sorted lines, each carrying its message id.
void FillMailboxList(PMListBoxBase& list, const MessageHeaderList& headers, const SenderNames& book,
                     SortOrder order);

// Whose inbox a formatted line's message is in: the kite account for "OrbitMail", else the player.
uint32_t LineOwnerKind(const char* line);

}  // namespace wm

#endif
