#include <gtest/gtest.h>
#include <strings.h>

#include <cstdio>
#include <string>
#include <vector>

#include "store/address_book.h"
#include "screens/mailbox_lines.h"
#include "store/message_header_list.h"

namespace {

using wm::MailboxLine;
using wm::SortOrder;

MailboxLine Line(const char* from, const char* subject, uint32_t date) {
    MailboxLine line{};
    std::snprintf(line.from, sizeof line.from, "%s", from);
    std::snprintf(line.subject, sizeof line.subject, "%s", subject);
    line.date = date;
    return line;
}

std::string Sender(const char* from) {
    char out[wm::kLineFieldSize];
    wm::NormaliseSender(from, out);
    return out;
}

// A book that names one address (compared ignoring case, as the stored book's lookup does).
class OneName final : public wm::SenderNames {
public:
    OneName(std::string address, std::string name) : address_(std::move(address)), name_(std::move(name)) {}
    const char* NameFor(const char* address) const override {
        return strcasecmp(address, address_.c_str()) == 0 ? name_.c_str() : nullptr;
    }

private:
    std::string address_, name_;
};

TEST(MailboxLinesTest, SendersKeepTheBracketedAddressCutToTwentyCharacters) {
    EXPECT_EQ(Sender("Ann Lee <ann_01@kite.example>"), "ann_01@kite.example");
    EXPECT_EQ(Sender("<a_very_long_address@kite.example>"), "a_very_long_address@");
    EXPECT_EQ(Sender("bo@kite.example"), "bo@kite.example");
    EXPECT_EQ(Sender("someone.with.a.long.name@kite.example"), "someone.with.a.long.");
    EXPECT_EQ(Sender("Broken <no closing"), "Broken <no closing");
    EXPECT_EQ(Sender("<>"), "");
}

TEST(MailboxLinesTest, TextColumnsCompareIgnoringCaseInEitherDirection) {
    const MailboxLine ann = Line("ann", "zebra", 5);
    const MailboxLine bo = Line("BO", "Apple", 5);
    EXPECT_LT(wm::CompareLines(ann, bo, SortOrder{wm::SortByFrom, false}), 0);
    EXPECT_GT(wm::CompareLines(ann, bo, SortOrder{wm::SortByFrom, true}), 0);
    EXPECT_GT(wm::CompareLines(ann, bo, SortOrder{wm::SortBySubject, false}), 0);
    EXPECT_EQ(wm::CompareLines(ann, Line("ANN", "", 1), SortOrder{wm::SortByFrom, false}), 0);
    EXPECT_EQ(wm::CompareLines(ann, bo, SortOrder{7, false}), 0);
}

TEST(MailboxLinesTest, EqualDatesNeverCompareEqual) {
    const MailboxLine early = Line("a", "a", 10);
    const MailboxLine late = Line("a", "a", 20);
    const MailboxLine twin = Line("b", "b", 20);
    EXPECT_EQ(wm::CompareLines(early, late, SortOrder{wm::SortByDate, false}), -1);
    EXPECT_EQ(wm::CompareLines(late, early, SortOrder{wm::SortByDate, false}), 1);
    EXPECT_EQ(wm::CompareLines(late, early, SortOrder{wm::SortByDate, true}), -1);
    EXPECT_EQ(wm::CompareLines(late, twin, SortOrder{wm::SortByDate, false}), 1);
    EXPECT_EQ(wm::CompareLines(late, twin, SortOrder{wm::SortByDate, true}), 1);
    // Dates are unsigned: the top bit does not make a date older.
    EXPECT_EQ(wm::CompareLines(early, Line("a", "a", 0x80000000u), SortOrder{wm::SortByDate, false}), -1);
}

TEST(MailboxLinesTest, SortingByDateKeepsTwinsTogetherBetweenTheirNeighbours) {
    std::vector<MailboxLine> lines = {Line("a", "", 20), Line("b", "", 30), Line("c", "", 20), Line("d", "", 10)};
    wm::SortLines(lines, SortOrder{wm::SortByDate, true});
    std::vector<uint32_t> dates;
    for (const MailboxLine& line : lines) dates.push_back(line.date);
    EXPECT_EQ(dates, (std::vector<uint32_t>{30, 20, 20, 10}));
    wm::SortLines(lines, SortOrder{wm::SortBySubject, false});  // all subjects equal: nothing is lost
    EXPECT_EQ(lines.size(), 4u);
}

TEST(MailboxLinesTest, LinesTakeTypeWordsNamesAndCutSubjects) {
    wm::MessageHeaderList headers;
    const std::string longSubject(200, 's');
    wm::AppendHeader(&headers, "Ann <ANN_01@kite.example>", longSubject.c_str(), 7, 3, 1);
    wm::AppendHeader(&headers, nullptr, nullptr, 8, 4, 2);
    wm::AppendHeader(&headers, "stranger@x.example", "hi", 9, 5, 5);
    const OneName book("ann_01@kite.example", "Ann Lee");
    std::vector<std::string> lines;
    for (const MailboxLine& l : wm::BuildLines(headers, book)) {
        lines.push_back(std::string(l.from) + "|" + l.subject + "|" + l.type + "|" + std::to_string(l.mail_id) + "|" +
                        std::to_string(l.date));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"Ann Lee|" + longSubject.substr(0, 128) + "|OrbitMail|3|7",
                                               "||PlayerMail|4|8", "stranger@x.example|hi|UnknownMail|5|9"}));
}

TEST(MailboxLinesTest, EmptyFieldsBecomeASpaceAndTheTypeWordNamesTheOwner) {
    MailboxLine line = Line("", "", 1);
    std::snprintf(line.type, sizeof line.type, "%s", "OrbitMail");
    char text[wm::kFormattedLineSize];
    wm::FormatLine(line, text);  // no regional service answers: the date text stays empty
    EXPECT_STREQ(text, " \t \t \tOrbitMail");
    EXPECT_EQ(wm::LineOwnerKind(text), 1u);
    EXPECT_EQ(wm::LineOwnerKind("a\tb\tc\tPlayerMail"), 2u);
    EXPECT_EQ(wm::LineOwnerKind("a\tb\tc\tOrbitMails"), 2u);
    EXPECT_EQ(wm::LineOwnerKind("OrbitMail"), 2u);
}

}  // namespace
