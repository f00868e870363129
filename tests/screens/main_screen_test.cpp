// The main screen's mailbox lines (senders, order and format), then the screen itself.
#include <strings.h>

#include <cstdio>
#include <string>
#include <vector>

#include "controls/mailbox_list.h"
#include "screens/mailbox_lines.h"
#include "store/address_book.h"
#include "store/message_header_list.h"
#include "../controls/request_fields.h"
#include "module_test.h"
#include "screens/main_screen.h"

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

TEST(MailboxLinesTest, TextColumnsCompareIgnoringCaseAndEqualDatesNeverEqual) {
    const MailboxLine ann = Line("ann", "zebra", 5);
    const MailboxLine bo = Line("BO", "Apple", 5);
    EXPECT_LT(wm::CompareLines(ann, bo, SortOrder{wm::SortByFrom, false}), 0);
    EXPECT_GT(wm::CompareLines(ann, bo, SortOrder{wm::SortByFrom, true}), 0);
    EXPECT_GT(wm::CompareLines(ann, bo, SortOrder{wm::SortBySubject, false}), 0);
    EXPECT_EQ(wm::CompareLines(ann, Line("ANN", "", 1), SortOrder{wm::SortByFrom, false}), 0);
    EXPECT_EQ(wm::CompareLines(ann, bo, SortOrder{7, false}), 0);
    // Equal dates never compare equal.
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


// The module against the null host, driving the main screen.
class MainListTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        HxPortAttach(atoms::PM, &PM_Main);
    }

    // A kite user starts at sign-in; the test then opens the mailbox as signing in would.
    void StartAs(const char* kite) {
        Start("p7", kite, kite != nullptr ? "pw" : nullptr);
        if (kite != nullptr) wm::ShowScreen(scene_);
    }
    void Enter() { Deliver(port_, code::kEntered); }
    void Leave() { Deliver(port_, code::kLeft); }
    // Runs Get/Send's posted steps to their end.
    void FinishMailChain() { for (int step = 0; step < 8; ++step) Advance(10); }

    // A stored message with its header, as the header list builder and Get/Send leave them.
    void PutMail(uint32_t kind, uint32_t id, const char* from, const char* subject, uint32_t date) {
        files_.PutMessage(kind == 1 ? kAnnInBox : kP7InBox, id, std::string("text of ") + subject);
        wm::AppendHeader(wm::Services().header_list, from, subject, date, id, kind);
    }

    static wm::MainScreen& Main() { return *static_cast<wm::MainScreen*>(wm::Screens().At(wm::kMainSlot)); }
    static wm::PMMailboxList& List() { return *Main().List(); }
    // One field (0 From, 1 Subject, 2 date, 3 type word) of every line, top to bottom.
    static std::vector<std::string> Column(int field) {
        std::vector<std::string> column;
        for (uint32_t row = 0; row < List().GetItemCount(); ++row) {
            std::string text = List().ItemAt(row).text;
            for (int skip = 0; skip < field; ++skip) text.erase(0, text.find('\t') + 1);
            column.push_back(text.substr(0, text.find('\t')));
        }
        return column;
    }
    static bool Press(uint16_t sprite, int32_t count) {
        EDict record = AtPoint(Named(code::kPress, sprite), 1000, 1000);
        EDictPutLong(&record, atoms::COUNT, count);
        return HxPortSend(atoms::ports::WrenmailMainPort, &record);
    }

    const uint16_t port_ = atoms::ports::WrenmailMainPort;
    const uint16_t scene_ = atoms::ports::ScWnMain;
    // A player without kite ID enters the mailbox with four messages whose senders, subjects and
    // dates each sort differently.
    void EnterWithFourMessages() {
        StartAs(nullptr);
        PutMail(2, 1, "Cy <cy@x.example>", "apples", 300);
        PutMail(2, 2, "ann@x.example", "Zoo trip", 100);
        PutMail(2, 3, "Bo <BO@x.example>", "", 400);
        PutMail(2, 4, "dee@x.example", "maths", 200);
        Enter();
    }
};

namespace sprites = atoms::dialog_sprites;

// The first order is newest first; another column's button keeps the direction, the same
// column's turns it round, and the order outlives a visit elsewhere.
TEST_F(MainListTest, ColumnButtonsSortAndTurnTheOrderRound) {
    EnterWithFourMessages();
    EXPECT_EQ(Column(2), (Lines{"d400", "d300", "d200", "d100"}));
    EXPECT_EQ(List().ItemAt(0).text, std::string("BO@x.example\t \td400\tPlayerMail"));
    EXPECT_EQ(List().ItemAt(0).data, 3u);
    Click(port_, Atom("BtnWnSubject"));
    EXPECT_EQ(Column(1), (Lines{"Zoo trip", "maths", "apples", " "}));
    Click(port_, Atom("BtnWnFrom"));
    EXPECT_EQ(Column(0), (Lines{"dee@x.example", "cy@x.example", "BO@x.example", "ann@x.example"}));
    Click(port_, Atom("BtnWnFrom"));
    EXPECT_EQ(Column(0), (Lines{"ann@x.example", "BO@x.example", "cy@x.example", "dee@x.example"}));
    Click(port_, Atom("BtnWnDate"));
    files_.At(kP7Trash).files["WN9.wnl"] = {};
    Leave();
    Enter();
    EXPECT_EQ(Column(2), (Lines{"d100", "d200", "d300", "d400"}));
    EXPECT_EQ(files_.At(kP7Trash).files.count("WN9.wnl"), 1u);  // Get/Send ran only on the first start
}

TEST_F(MainListTest, ReadAndDoubleClickOpenTheSelectedMessage) {
    EnterWithFourMessages();
    Click(port_, Atom("BtnWnRead"));  // nothing selected
    EXPECT_EQ(wm::Handover().current_message, 0u);
    EXPECT_NE(RequestedScene(), atoms::ports::ScRdRead);

    List().SelectOnly(1);  // d300: message 1
    Click(port_, Atom("BtnWnRead"));
    const uint32_t first = wm::Handover().current_message;
    ASSERT_NE(first, 0u);
    EXPECT_EQ(mail_.objects[first].texts[atoms::mail::Data], "text of apples");
    EXPECT_EQ(RequestedScene(), atoms::ports::ScRdRead);

    wm::ShowScreen(scene_);
    Press(List().Sprite(), 1);
    EXPECT_EQ(wm::Handover().current_message, first);
    Press(Atom("BtnWnRead"), 2);  // a double click elsewhere
    EXPECT_EQ(wm::Handover().current_message, first);
    List().SelectOnly(3);  // d100: message 2
    Press(List().Sprite(), 2);
    const uint32_t second = wm::Handover().current_message;
    EXPECT_NE(second, first);
    EXPECT_EQ(mail_.objects.count(first), 0u);  // the previous message was released
    EXPECT_EQ(mail_.objects[second].texts[atoms::mail::Data], "text of Zoo trip");
    Stop();
    EXPECT_EQ(mail_.objects.count(second), 0u);  // released at plug-in end
}

TEST_F(MainListTest, DeleteAsksThenTrashesAndDropsOnlyThatLine) {
    StartAs("ann_01");
    PutMail(1, 5, "ann@x.example", "first", 10);
    PutMail(1, 6, "bo@x.example", "second", 20);
    PutMail(2, 7, "cy@x.example", "third", 30);
    Enter();
    FinishMailChain();
    EXPECT_EQ(Column(3), (Lines{"PlayerMail", "OrbitMail", "OrbitMail"}));

    Click(port_, Atom("BtnWnDelete"));  // nothing selected: no question
    EXPECT_FALSE(wm::CommonDialog().up);
    List().SelectOnly(1);
    Click(port_, Atom("BtnWnDelete"));
    EXPECT_EQ(wm::CommonDialog().current, Atom("ConfirmDelete"));
    Click(port_, sprites::BtnCoNo);
    EXPECT_EQ(List().GetItemCount(), 3u);

    // A header that arrives meanwhile shows only when the list is rebuilt, not by a delete.
    wm::AppendHeader(wm::Services().header_list, "new@x.example", "late", 40, 8, 1);
    Click(port_, Atom("BtnWnDelete"));
    Click(port_, sprites::BtnCoYes);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(Column(1), (Lines{"third", "first"}));
    EXPECT_EQ(List().SelectionSize(), 0u);
    EXPECT_EQ(files_.At(kAnnInBox).files.count("WN6.wnl"), 0u);
    EXPECT_EQ(files_.At(kAnnTrash).files.size(), 2u);  // the message and the Trash's counter
    EXPECT_EQ(wm::Services().header_list->Find(1, 6), nullptr);

    List().SelectOnly(0);  // a player's message goes to the player's Trash
    Click(port_, Atom("BtnWnDelete"));
    Click(port_, sprites::BtnCoYes);
    EXPECT_EQ(files_.At(kP7InBox).files.count("WN7.wnl"), 0u);
    EXPECT_EQ(Column(1), (Lines{"first"}));
}

TEST_F(MainListTest, GetSendRefreshesAtOnceAndAgainWhenTheMailIsIn) {
    StartAs("ann_01");
    PutMail(1, 5, "ann@x.example", "first", 10);
    Enter();
    EXPECT_EQ(wm::CommonDialog().current, atoms::dialogs::SendingMail);
    EXPECT_EQ(Column(1), (Lines{"first"}));
    wm::AppendHeader(wm::Services().header_list, "bo@x.example", "fetched", 20, 6, 1);
    Advance(10);
    Advance(10);
    EXPECT_EQ(List().GetItemCount(), 1u);  // the chain has not finished
    FinishMailChain();
    EXPECT_EQ(Column(1), (Lines{"fetched", "first"}));

    wm::AppendHeader(wm::Services().header_list, "cy@x.example", "stored", 30, 7, 1);
    Click(port_, Atom("BtnWnUpdate"));
    EXPECT_EQ(Column(1), (Lines{"stored", "fetched", "first"}));
    wm::RemoveHeader(wm::Services().header_list, 1, 7);
    FinishMailChain();
    EXPECT_EQ(Column(1), (Lines{"fetched", "first"}));
}

TEST_F(MainListTest, EachSenderIsLookedUpInTheStoredBookAsItIsRead) {
    StartAs("ann_01");
    files_.At({"MailBoxes", "kiteAccounts", "ann_01"}).files["AddBook.wdb"] = {
        {Atom("Bea"), EDictShort, Atom("bo@x.example"), ""},
        {Atom("Counter"), EDictLong, Atom("cy@x.example"), ""}};  // not a Short: never a name
    PutMail(1, 5, "Bo <BO@X.example>", "first", 10);
    PutMail(1, 6, "cy@x.example", "second", 20);
    PutMail(1, 7, nullptr, "third", 30);
    Enter();
    FinishMailChain();
    EXPECT_EQ(Column(0), (Lines{" ", "cy@x.example", "Bea"}));
    // The book is read afresh for each sender; a message without one asks for nothing.
    const int before = files_.reads;
    Click(port_, Atom("BtnWnFrom"));
    EXPECT_EQ(files_.reads - before, 2);
    files_.At({"MailBoxes", "kiteAccounts", "ann_01"}).files["AddBook.wdb"] = {};
    Click(port_, Atom("BtnWnFrom"));
    EXPECT_EQ(Column(0), (Lines{" ", "BO@X.example", "cy@x.example"}));
}

TEST_F(MainListTest, APlayersListSitsInTheSceneWithoutAddressBookOrMailExchange) {
    StartAs(nullptr);
    PutMail(2, 1, "ann@x.example", "hello", 10);
    // Before the screen is entered, a refresh and list events do nothing.
    Main().RefreshList();
    Deliver(port_, atoms::actions::aOnMailDownloaded);
    Press(Atom("BtnWnRead"), 2);
    EXPECT_EQ(Main().List(), nullptr);
    EXPECT_EQ(wm::Handover().current_message, 0u);
    Enter();
    ASSERT_NE(Main().List(), nullptr);
    EXPECT_EQ(List().EventPort(), port_);
    EXPECT_EQ(List().ScenePort(), scene_);
    EXPECT_EQ(Bounds(List()), (std::vector<uint32_t>{155, 180, 405, 195}));
    EXPECT_EQ(List().FontName(), "Comic Sans MS");
    EXPECT_EQ(Column(0), (Lines{"ann@x.example"}));
    for (const char* button : {"BtnWnAddress", "BtnWnUpdate"}) {
        EXPECT_EQ(Effects(scene_, Atom(button)), (Atoms{atoms::buttons::Up, atoms::buttons::Disabled})) << button;
    }
    EXPECT_EQ(Effects(scene_, Atom("BtnWnDelete")), (Atoms{atoms::buttons::Up}));
    EXPECT_FALSE(wm::CommonDialog().up);  // no Get/Send notice for a player
    Leave();
    EXPECT_EQ(Main().List(), nullptr);
    EXPECT_EQ(wm::PMControlBase::LiveCount(), 0u);
}

}  // namespace
