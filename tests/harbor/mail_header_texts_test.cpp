// Header texts of mail written by other programs, as the mail service answers them, and the
// Date and Message-ID the post office adds to a letter accepted without them.
#include <gtest/gtest.h>

#include "mail/display_text.h"
#include "mail/player_inbox.h"
#include "mail_test_support.h"
#include "services/regional_service.h"

namespace {

using namespace mailtest;
using harbor::mime::CleanLine;
using harbor::mime::DisplayHeader;

TEST(DisplayTextTest, OneCleanLineOfUtf8) {
    EXPECT_EQ(CleanLine("a\tb\r\nc\x01" "d\x7f" "e"), "a b c d e");
    EXPECT_EQ(CleanLine("  lots \t\t of   space  "), "lots of space");
    EXPECT_EQ(CleanLine("a\xC2\x85" "b\xC2\x9B" "c"), "a b c");  // C1 controls
    EXPECT_EQ(CleanLine("ok \xff end"), "ok \xEF\xBF\xBD end");  // U+FFFD for the bad byte
    EXPECT_EQ(CleanLine("cut \xE2\x82"), "cut \xEF\xBF\xBD\xEF\xBF\xBD");  // a sequence cut short
    EXPECT_EQ(CleanLine(std::string("nul\0inside", 10)), "nul inside");
    EXPECT_EQ(CleanLine(" \t\r\n"), "");
    EXPECT_EQ(CleanLine("Grüße ✓ 🐦"), "Grüße ✓ 🐦");
}

TEST(DisplayTextTest, RawHeadersAreUnfoldedAndDecoded) {
    EXPECT_EQ(DisplayHeader("bug demonstration\r\n\t1234"), "bug demonstration 1234");
    EXPECT_EQ(DisplayHeader("=?UTF-8?Q?Gr=C3=BC=C3=9Fe?=\n =?UTF-8?Q?_aus_K=C3=B6ln?="), "Grüße aus Köln");
    EXPECT_EQ(DisplayHeader("=?utf-8?Q?one=0Atwo=09three?="), "one two three");
    EXPECT_EQ(DisplayHeader("Caf\xe9"), "Café");  // undeclared Latin-1
    EXPECT_EQ(DisplayHeader("=?utf-8?B?b2sg//4gZW5k?="), "ok ?? end");
}

class HeaderTextsTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        Restart();
    }
};

// A folded Subject used to reach the module with the tab of its fold, which the mailbox list
// took for the start of the next column.
TEST_F(HeaderTextsTest, FoldedAndEncodedHeadersAnswerOneLine) {
    const char* data =
        "From: =?utf-8?q?J=C3=BCrgen?= <juergen@example.de>,\n\tMia\t<mia@wrenmail.local>\n"
        "To: p7@wrenmail.local\n"
        "Subject: bug demonstration\n\t1234 crashes\x07 on start\n"
        "\n"
        "body\twith a tab\n";
    const uint32_t m = NewMessage(data);
    EXPECT_EQ(GetText(m, "Subject"), "bug demonstration 1234 crashes on start");
    EXPECT_EQ(GetText(m, "From"), "juergen@example.de, mia");
    EXPECT_EQ(GetText(m, "To"), "p7");
    EXPECT_EQ(GetText(m, "Body"), "body\twith a tab\n");
    EXPECT_EQ(GetText(m, "Data"), std::string(data));  // the message as received
    EXPECT_EQ(GetText(NewMessage("From: Grandma\nSubject: hi\n\nx\n"), "From"), "Grandma");  // no address: the name
    EXPECT_EQ(GetText(NewMessage("From: undisclosed-recipients:;\nSubject: hi\n\nx\n"), "From"), "");
    SetText(m, "Subject", "Träume\tund mehr");  // set by the module
    EXPECT_EQ(GetText(m, "Subject"), "Träume und mehr");
}

// A letter without a Date used to be listed as 01/01/70.
TEST_F(HeaderTextsTest, ThePostOfficeDatesALetterAcceptedWithoutADate) {
    std::filesystem::create_directories(Options().data_root / "MailBoxes" / "Players" / "p7");
    harbor::PostOffice& office = *service_->Office();
    ASSERT_TRUE(office.Submit("From: bob@example.org\r\nSubject: no date\r\n\r\ntext\r\n", {"p7"}));
    ASSERT_TRUE(office.Submit("From: bob@example.org\nDate: Mon, 4 Mar 2024 12:00:00 +0000\nMessage-ID: <x@y>\n"
                              "Subject: dated\n\ntext\n",
                              {"p7"}));
    ASSERT_EQ(office.DeliverSpool(), 2u);
    std::string first, second;
    for (const auto& file : std::filesystem::directory_iterator(Options().data_root / "MailBoxes/Players/p7/InBox")) {
        const std::string text = StoredMessage(file.path());
        (text.find("no date") != std::string::npos ? first : second) = text;
    }
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    const uint32_t undated = NewMessage(first.c_str());
    EXPECT_EQ(GetLong(undated, "Date"), static_cast<int32_t>(harbor::RegionalService::Now()));
    EXPECT_NE(first.find("\r\nMessage-ID: <"), std::string::npos) << first;
    EXPECT_TRUE(first.starts_with("Date: ")) << first;
    EXPECT_TRUE(first.ends_with("From: bob@example.org\r\nSubject: no date\r\n\r\ntext\r\n")) << first;
    const uint32_t dated = NewMessage(second.c_str());
    EXPECT_EQ(GetLong(dated, "Date"), 1709553600);
    EXPECT_TRUE(second.starts_with("From: bob@example.org\nDate: Mon")) << "nothing added: " << second;
}

}  // namespace
