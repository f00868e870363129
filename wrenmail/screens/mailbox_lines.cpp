#include "screens/mailbox_lines.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "controls/list_box_base.h"
#include "store/mail_folder.h"
#include "store/message_header_list.h"
#include "clients/regional_requests.h"

namespace wm {
namespace {

template <std::size_t N>
void CopyCut(char (&out)[N], const char* text, std::size_t length) {
    const std::size_t n = std::min(length, N - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

template <std::size_t N>
void CopyCut(char (&out)[N], const char* text) {
    CopyCut(out, text, std::strlen(text));
}

const char* TypeWord(uint32_t boxKind) {
    if (boxKind == OwnerKiteAccount) {
        return kKiteMailWord;
    }
    return boxKind == OwnerPlayer ? kPlayerMailWord : kUnknownMailWord;
}

void FillSender(MailboxLine& line, const MessageHeader& header, const SenderNames& book) {
    if (header.from.empty()) {
        line.from[0] = '\0';
        return;
    }
    NormaliseSender(header.from.c_str(), line.from);
    if (const char* name = book.NameFor(line.from)) {
        CopyCut(line.from, name);
    }
}

const char* OrSpace(const char* text) {
    return text[0] == '\0' ? " " : text;
}

}  // namespace

int CompareLines(const MailboxLine& a, const MailboxLine& b, SortOrder order) {
    const MailboxLine& first = order.descending ? b : a;
    const MailboxLine& second = order.descending ? a : b;
    switch (order.key) {
        case SortByFrom:
            return strcasecmp(first.from, second.from);
        case SortBySubject:
            return strcasecmp(first.subject, second.subject);
        case SortByDate:
            return first.date < second.date ? -1 : 1;
        default:
            return 0;
    }
}

std::vector<MailboxLine> BuildLines(const MessageHeaderList& headers, const SenderNames& book) {
    std::vector<MailboxLine> lines(headers.Size());
    std::size_t n = 0;
    for (const MessageHeader* header = headers.Head(); header != nullptr; header = header->next, ++n) {
        MailboxLine& line = lines[n];
        CopyCut(line.type, TypeWord(header->box_kind));
        FillSender(line, *header, book);
        CopyCut(line.subject, header->subject.c_str(), header->subject.size());
        line.date = header->date;
        line.mail_id = header->mail_id;
    }
    return lines;
}

void SortLines(std::vector<MailboxLine>& lines, SortOrder order) {
    // The sort needs a strict order: two equal dates are "not before" each other here, where the
    // three-way comparison calls either one first. Both leave their order to the sort.
    std::sort(lines.begin(), lines.end(), [order](const MailboxLine& a, const MailboxLine& b) {
        if (order.key == SortByDate) {
            return order.descending ? b.date < a.date : a.date < b.date;
        }
        return CompareLines(a, b, order) < 0;
    });
}

void FormatLine(const MailboxLine& line, char (&out)[kFormattedLineSize]) {
    char date[kDateTextSize] = {};
    RegionalFormatDate(line.date, date, static_cast<int32_t>(kDateTextSize - 1), true);
    date[kDateTextSize - 1] = '\0';
    std::snprintf(out, sizeof out, "%s\t%s\t%s\t%s", OrSpace(line.from), OrSpace(line.subject), OrSpace(date),
                  OrSpace(line.type));
}

void FillMailboxList(PMListBoxBase& list, const MessageHeaderList& headers, const SenderNames& book,
                     SortOrder order) {
    list.RemoveAll();
    if (headers.Size() == 0) {
        return;
    }
    std::vector<MailboxLine> lines = BuildLines(headers, book);
    SortLines(lines, order);
    char text[kFormattedLineSize];
    for (const MailboxLine& line : lines) {
        FormatLine(line, text);
        list.AddItem(text, line.mail_id);
    }
    list.Show();
}

uint32_t LineOwnerKind(const char* line) {
    const char* field = line;
    for (int tabs = 0; tabs < 3 && field != nullptr; ++tabs) {
        field = std::strchr(field, '\t');
        field = field != nullptr ? field + 1 : nullptr;
    }
    return field != nullptr && std::strcmp(field, kKiteMailWord) == 0 ? OwnerKiteAccount : OwnerPlayer;
}

}  // namespace wm
