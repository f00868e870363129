// Message and part objects on MailPort: every request, the round trip through "Data", stale
// handles, text that is not MIME, and header texts of mail written by other programs. Then the
// connection manager on RASPort: online by default, and the dial-up simulation's outcomes.
#include <gtest/gtest.h>

#include <vector>

#include "mail/connection_service.h"
#include "mail/display_text.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
using harbor::mime::CleanLine;
using harbor::DialupOptions;

class MailObjectsTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        Restart(harbor::MailServiceOptions{});  // no data root: objects only
    }
};

TEST_F(MailObjectsTest, NewMessageIsEmptyWithoutDateOrMessageIdAndDatesTakeAllThirtyTwoBits) {
    const uint32_t m = NewMessage();
    ASSERT_NE(m, 0u);
    for (const char* key : {"To", "Subject", "Body"}) EXPECT_EQ(GetText(m, key), "") << key;
    EXPECT_EQ(GetLong(m, "Date"), 0);
    EXPECT_EQ(GetLong(m, "Parts"), 0);
    const std::string data = GetText(m, "Data").value();
    EXPECT_EQ(data.find("Date:"), std::string::npos);
    EXPECT_EQ(data.find("Message-Id"), std::string::npos);
    EXPECT_NE(NewMessage(), m);
    SetLong(m, "Date", static_cast<int32_t>(4000000000u));  // all 32 bits, through Data too
    EXPECT_EQ(static_cast<uint32_t>(GetLong(m, "Date").value()), 4000000000u);
    EXPECT_EQ(static_cast<uint32_t>(GetLong(NewMessage(GetText(m, "Data")->c_str()), "Date").value()), 4000000000u);
    EXPECT_EQ(GetLong(NewMessage("Date: Thu, 01 Jan 1960 00:00:00 +0000\n\nx"), "Date"), 0);
}

TEST_F(MailObjectsTest, WrittenAndImportedMessagesSurviveTheRoundTripThroughData) {
    const uint32_t m = WrittenMessage("bob_02", "ann_01", "Hello", "Hi Bob\nSee you é");
    ASSERT_EQ(GetLong(m, "Parts"), 2);
    EXPECT_EQ(GetText(m, "Data")->find('\r'), std::string::npos);
    const uint32_t copy = NewMessage(GetText(m, "Data")->c_str());
    for (const char* key : {"To", "From", "Subject", "Body", "ContentType", "Data"}) {
        EXPECT_EQ(GetText(copy, key), GetText(m, key)) << key;
    }
    EXPECT_EQ(GetLong(copy, "Date"), 1700000000);
    ASSERT_EQ(GetLong(copy, "Parts"), 2);
    for (const auto& [i, type, body] : {std::tuple{0, "text/plain", "Hi Bob\nSee you é"},
                                        {1, "text/wrenmail", "<rich>Hi Bob\nSee you é"}}) {
        EXPECT_EQ(GetText(GetPart(copy, i), "ContentType"), type);
        EXPECT_EQ(GetText(GetPart(copy, i), "Body"), body);
    }

    // An import: its own body beside one part that is not plain text.
    const uint32_t imported = NewMessage(), part = NewPart();
    SetText(imported, "Body", "the plain words");
    SetText(part, "ContentType", "text/wrenmail");
    SetText(part, "Body", "<b>tagged</b>");
    AddPart(imported, part);
    EXPECT_EQ(GetText(imported, "Body"), "the plain words");
    EXPECT_EQ(GetLong(imported, "Parts"), 1);
    const uint32_t imported_copy = NewMessage(GetText(imported, "Data")->c_str());
    EXPECT_EQ(GetText(imported_copy, "Body"), "the plain words");
    EXPECT_EQ(GetText(GetPart(imported_copy, 0), "Body"), "<b>tagged</b>");
}

TEST_F(MailObjectsTest, ReceivedMultipartShowsItsPlainTextAsBody) {
    const uint32_t m = NewMessage(
        "Content-Type: multipart/alternative; boundary=zz\n\nThis is a multi-part message in MIME format.\n"
        "--zz\nContent-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: quoted-printable\n\n"
        "caf=E9\n--zz\nContent-Type: text/html\n\n<p>caf&eacute;</p>\n--zz--\n");
    EXPECT_EQ(GetText(m, "Body"), "café");  // the line end before a boundary is the boundary's
    EXPECT_EQ(GetLong(m, "Parts"), 2);
    EXPECT_EQ(GetText(GetPart(m, 1), "ContentType"), "text/html");
    // Nested, as with an attachment beside the alternatives: the plain text is found inside.
    const uint32_t mixed = NewMessage(
        "Content-Type: multipart/mixed; boundary=out\n\n--out\nContent-Type: multipart/alternative; boundary=in\n\n"
        "--in\nContent-Type: text/html\n\n<p>kite</p>\n--in\nContent-Type: text/plain\n\nthe kite flew\n--in--\n"
        "--out\nContent-Type: image/png\n\nPNG\n--out--\n");
    EXPECT_EQ(GetText(mixed, "Body"), "the kite flew");
}

TEST_F(MailObjectsTest, PartsAreFoundByTheSameHandleAddedOnceAndFreedFromTheMessageOnlyByIt) {
    const uint32_t m = WrittenMessage("bob_02", "ann_01", "s", "body");
    const uint32_t part = GetPart(m, 1);
    EXPECT_NE(part, 0u);
    EXPECT_EQ(GetPart(m, 1), part);
    EXPECT_EQ(GetPart(m, 2), 0u);
    EXPECT_EQ(GetPart(m, -1), 0u);
    EXPECT_EQ(GetPart(GetPart(m, 0), 0), 0u);  // a leaf has no parts
    Free(GetPart(m, 0));
    EXPECT_EQ(GetLong(m, "Parts"), 2);
    const uint32_t again = GetPart(m, 0);
    EXPECT_NE(again, 0u);
    EXPECT_EQ(GetText(again, "Body"), "body");

    // An added part changes with its message, and is added once.
    const uint32_t fresh = NewMessage(), added = NewPart();
    AddPart(fresh, added);
    SetText(added, "Body", "later words");
    EXPECT_NE(GetText(fresh, "Data")->find("later words"), std::string::npos);
    AddPart(fresh, added);
    AddPart(fresh, fresh);
    EXPECT_EQ(GetLong(fresh, "Parts"), 1);
    AddPart(added, NewPart());  // a leaf takes no parts
    EXPECT_EQ(GetLong(added, "Parts"), 0);
}

TEST_F(MailObjectsTest, TextsStayValidUntilTheirPropertyChanges) {
    const uint32_t m = NewMessage();
    SetText(m, "Subject", "a subject too long to be kept inside the string");
    const char* subject = GetRawText(m, "Subject");
    ASSERT_NE(subject, nullptr);
    EXPECT_EQ(GetRawText(m, "Subject"), subject);  // asked again: the same characters
    SetText(m, "Body", "a body");
    EXPECT_STREQ(GetRawText(m, "Body"), "a body");
    EXPECT_STREQ(subject, "a subject too long to be kept inside the string");  // another property's change leaves it alone
}

TEST_F(MailObjectsTest, FreedAndUnknownHandlesAreNotThere) {
    const uint32_t m = WrittenMessage("bob_02", "ann_01", "s", "b");
    const uint32_t part = GetPart(m, 0);
    Free(m);
    EXPECT_EQ(GetText(m, "Subject"), std::nullopt);
    EXPECT_EQ(GetLong(m, "Parts"), std::nullopt);
    EXPECT_EQ(GetText(part, "Body"), std::nullopt);  // its parts went with it
    EXPECT_EQ(GetPart(m, 0), 0u);
    Free(m);
    Free(part);
    SetText(m, "Subject", "x");
    AddPart(m, NewPart());
    EXPECT_EQ(GetText(123456, "Body"), std::nullopt);
    EXPECT_EQ(service_->Objects().Live(), 1u);  // the last new part only
    EXPECT_NE(NewMessage(), m);                 // handles are not given out again
}

TEST_F(MailObjectsTest, TextThatIsNotMimeStillGivesAMessage) {
    const char* unended = "Content-Type: multipart/mixed; boundary=q\n\n--q\nContent-Type: text/plain\n\nunended";
    for (const char* bad : {"hello world", "", "\x01\x02:::\n\n", ":\n:\n\n", unended}) {
        const uint32_t m = NewMessage(bad);
        ASSERT_NE(m, 0u) << bad;
        EXPECT_TRUE(GetText(m, "Data") && GetText(m, "Body") && GetLong(m, "Parts")) << bad;
    }
    EXPECT_EQ(GetText(NewMessage("hello world"), "Body"), "hello world");
    EXPECT_EQ(GetText(GetPart(NewMessage(unended), 0), "Body"), "unended");
}

TEST_F(MailObjectsTest, ContentTypeOnlyChangesWhereItFits) {
    const uint32_t part = NewPart();
    SetText(part, "ContentType", "text/wrenmail");
    EXPECT_EQ(GetText(part, "ContentType"), "text/wrenmail");
    SetText(part, "ContentType", "multipart/mixed");
    EXPECT_EQ(GetText(part, "ContentType"), "text/wrenmail");
    SetText(part, "To", "bob_02");  // not a message: nothing to set
    EXPECT_EQ(GetText(part, "To"), "");
    SetText(part, "Data", "Subject: no\n\n");
    EXPECT_EQ(GetText(part, "Subject"), "");
}

// Controls, spaces, folds, encoded words and charsets are the mail corpus's (driver_mail_corpus_test
// fails without them); NUL and bytes that are not UTF-8 it does not show.
TEST(DisplayTextTest, NulAndBytesThatAreNotUtf8BecomeOneCleanLine) {
    EXPECT_EQ(CleanLine("ok \xff end"), "ok \xEF\xBF\xBD end");  // U+FFFD for the bad byte
    EXPECT_EQ(CleanLine("cut \xE2\x82"), "cut \xEF\xBF\xBD\xEF\xBF\xBD");  // a sequence cut short
    EXPECT_EQ(CleanLine(std::string("nul\0inside", 10)), "nul inside");
}

// A folded Subject used to reach the module with the tab of its fold, which the mailbox list
// took for the start of the next column.
TEST_F(MailObjectsTest, FoldedAndEncodedHeadersOfOtherProgramsAnswerOneLine) {
    const char* data =
        "From: =?utf-8?q?J=C3=BCrgen?= <juergen@example.de>,\n\tMia\t<MIA@WrenMail.LOCAL>\n"
        "To: p7@wrenmail.local\n"
        "Subject: bug demonstration\n\t1234 crashes\x07 on start\n"
        "\n"
        "body\twith a tab\n";
    const uint32_t m = NewMessage(data);
    EXPECT_EQ(GetText(m, "Subject"), "bug demonstration 1234 crashes on start");
    EXPECT_EQ(GetText(m, "From"), "juergen@example.de, MIA");  // the local domain in any letter case
    EXPECT_EQ(GetText(m, "To"), "p7");
    EXPECT_EQ(GetText(m, "Body"), "body\twith a tab\n");
    EXPECT_EQ(GetText(m, "Data"), std::string(data));  // the message as received
    EXPECT_EQ(GetText(NewMessage("From: Grandma\nSubject: hi\n\nx\n"), "From"), "Grandma");  // no address: the name
    SetText(m, "Subject", "Träume\tund mehr");  // set by the module
    EXPECT_EQ(GetText(m, "Subject"), "Träume und mehr");

    // CRLF line ends are kept as line feeds.
    const uint32_t crlf = NewMessage("Subject: hi\r\nTo: bob_02@wrenmail.local\r\n\r\nfirst\r\nsecond\r\n");
    EXPECT_EQ(GetText(crlf, "Subject"), "hi");
    EXPECT_EQ(GetText(crlf, "To"), "bob_02");
    EXPECT_EQ(GetText(crlf, "Body"), "first\nsecond\n");
    EXPECT_EQ(GetText(crlf, "Data")->find('\r'), std::string::npos);
}

// What reached ConnectPort: the notice's code, its Status (-1 when it has none) and Connection.
struct Notice { uint16_t code; int32_t status; uint32_t connection; };
std::vector<Notice> g_notices;

bool OnConnectPort(EDict* r) {
    const int32_t status = EDictHasKey(r, A("Status")) ? EDictGetLong(r, A("Status")) : -1;
    g_notices.push_back({EDictGetType(r), status, Handle(*r, "Connection")});
    return true;
}

class ConnectionTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        g_notices.clear();
        HxPortAttach(A("ConnectPort"), &OnConnectPort);
    }
    void TearDown() override {
        connections_.reset();
        MailFixture::TearDown();
    }
    void Use(const char* mode) {
        const std::optional<DialupOptions> options = harbor::ParseDialup(mode);
        ASSERT_TRUE(options.has_value()) << mode;
        connections_.reset();  // one manager at a time on RASPort
        connections_ = std::make_unique<harbor::ConnectionService>(*options);
    }
    static uint32_t AskManager() {
        EDict r = On(code::kQuery, 0, "Manager");
        HxPortSend(A("RASPort"), &r);
        return Handle(r, "Manager");
    }
    // Dials, then waits long enough for the answer.
    static void Dial() {
        EDict r = On(code::kOpen, 0, "Connection");
        EDictPutShort(&r, A("NotifyPort"), A("ConnectPort"));
        HxPortPost(A("RASPort"), &r, 0);
        HxAdvanceTime(300);
    }
    static void HangUp(uint32_t connection) {
        EDict r = On(code::kClose, connection, "Connection");
        HxPortSend(A("RASPort"), &r);
    }

    std::unique_ptr<harbor::ConnectionService> connections_;
};

// No manager by default, a failed dial's status 0 and the while dialling takes are the e2e
// sessions' (mail_between_accounts, signin_offline, signin_dial_fail and signin_wrong_then_right
// fail without them).
TEST_F(ConnectionTest, ADialAnswersAfterAWhileWithAConnection) {
    Use("ok");
    EXPECT_NE(AskManager(), 0u);
    Dial();
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].code, code::kDialResult);
    EXPECT_GT(g_notices[0].status, 0);
    EXPECT_NE(g_notices[0].connection, 0u);
    EXPECT_EQ(connections_->Connection(), g_notices[0].connection);
    HangUp(g_notices[0].connection);
    EXPECT_EQ(connections_->Connection(), 0u);
    HxAdvanceTime(60000);
    EXPECT_EQ(g_notices.size(), 1u);  // no drop without drop-after
}

TEST_F(ConnectionTest, TheLineDropsAfterTheGivenTimeUnlessHungUpBefore) {
    Use("drop-after=2000");
    Dial();
    ASSERT_EQ(g_notices.size(), 1u);
    const uint32_t first = g_notices[0].connection;
    HxAdvanceTime(1999);
    EXPECT_EQ(g_notices.size(), 1u);
    HxAdvanceTime(1);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[1].code, code::kLineDropped);
    EXPECT_EQ(g_notices[1].connection, first);
    EXPECT_EQ(connections_->Connection(), 0u);

    Dial();  // a new line after the old one dropped out
    ASSERT_EQ(g_notices.size(), 3u);
    EXPECT_NE(g_notices[2].connection, first);
    HangUp(g_notices[2].connection);
    HangUp(g_notices[2].connection);  // twice: not there any more, nothing happens
    HxAdvanceTime(5000);
    EXPECT_EQ(g_notices.size(), 3u);
}

// "ok" and "fail" are the e2e sessions' (signin_wrong_then_right, signin_dial_fail).
TEST(DialupTest, ModesParse) {
    EXPECT_EQ(harbor::ParseDialup("drop-after=250")->drop_after_ms, 250u);
    for (const char* bad : {"", "OK", "drop-after=", "drop-after=1x", "drop-after=-5", "maybe"}) {
        EXPECT_FALSE(harbor::ParseDialup(bad).has_value()) << bad;
    }
}

}  // namespace
