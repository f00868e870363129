// The pieces under the remote back end that need no server: the settings and their command, the
// reading of IMAP answers, the record of fetched UIDs and the marks of spooled letters.
#include <gtest/gtest.h>

#include <sstream>

#include "mail/fetched_uids.h"
#include "mail/imap_reply.h"
#include "mail/mail_transfer.h"
#include "mail/remote_backend.h"
#include "mail/server_command.h"
#include "mail/server_settings.h"
#include "harbor_test_support.h"

namespace {

using namespace harbor;

TEST(ImapReplyTest, ReadsLiteralsByteForByteWhereverTheUidStands) {
    const std::string first = "Subject: a\r\n\r\n* 9 FETCH (UID 99 BODY[] {1}\r\n)\r\nA004 OK\r\n";
    const std::string stream = "* OK [UIDVALIDITY 1796529642] UIDs valid\r\n"
                               "* 1 FETCH (UID 7 BODY[] {" + std::to_string(first.size()) + "}\r\n" + first + ")\r\n"
                               "* 2 FETCH (BODY[] {5}\r\nab\ncd UID 8)\r\n"
                               "* 3 FETCH (UID 9 RFC822.SIZE 1234)\r\n"
                               "A003 OK done\r\n";
    const ImapReply reply = ReadImapReply(stream);
    EXPECT_EQ(reply.uidvalidity, 1796529642u);
    ASSERT_EQ(reply.messages.size(), 3u);
    EXPECT_EQ(reply.messages[0].uid, 7u);
    EXPECT_EQ(reply.messages[0].text, first);  // lines inside a literal are not answers
    EXPECT_EQ(reply.messages[1].uid, 8u);
    EXPECT_EQ(reply.messages[1].text, "ab\ncd");
    EXPECT_FALSE(reply.messages[2].has_text);
    EXPECT_EQ(reply.messages[2].size, 1234u);
}

TEST(ImapReplyTest, ArrivalDatesBecomeDateHeadersOnlyInTheirOneShape) {
    const ImapReply reply = ReadImapReply("* 1 FETCH (UID 4 RFC822.SIZE 10 INTERNALDATE \" 6-Dec-2026 06:04:40 -0130\")\r\n"
                                          "* 2 FETCH (INTERNALDATE \"07-Jan-2027 23:59:01 +0000\" UID 5)\r\n"
                                          "* 3 FETCH (UID 6 INTERNALDATE \"cut\r\n");
    ASSERT_EQ(reply.messages.size(), 2u);
    EXPECT_EQ(reply.messages[0].size, 10u);
    EXPECT_EQ(MessageDateOf(reply.messages[0].internal_date), "6 Dec 2026 06:04:40 -0130");
    EXPECT_EQ(MessageDateOf(reply.messages[1].internal_date), "7 Jan 2027 23:59:01 +0000");
    for (const char* bad : {"06-Dec-2026 06:04:40 +000", "06-Dez-2026 06:04:40 +0000", "06-anF-2026 06:04:40 +0000",
                            "06-Dec-2026 06:04:40 *0000", "06-Dec-2026\r06:04:40 +0000", "x6-Dec-2026 06:04:40 +0000"}) {
        EXPECT_EQ(MessageDateOf(bad), "") << bad;
    }
}

TEST(ImapReplyTest, SurvivesCutAndBrokenAnswers) {
    EXPECT_TRUE(ReadImapReply("* 1 FETCH (UID 3 BODY[] {500}\r\nshort").messages.empty());
    EXPECT_TRUE(ReadImapReply("* 1 FETCH (BODY[] {2}\r\nab)\r\n").messages.empty());  // no UID
    // Bytes lost inside a literal: what follows it is not the rest of the item, so it is dropped.
    EXPECT_TRUE(ReadImapReply("* 1 FETCH (UID 3 BODY[] {4}\r\nabcdef)\r\n").messages.empty());
    EXPECT_EQ(ReadImapReply("* 12 EXISTS\r\n").exists, 12u);
    // An answer that ends in spaces inside a FETCH is read to its end and no further (the exact-size
    // buffer lets the sanitizer build see a read past it).
    const std::string_view spaced = "* 1 FETCH (UID 7  ";
    const std::vector<char> exact(spaced.begin(), spaced.end());
    EXPECT_EQ(ReadImapReply(std::string_view(exact.data(), exact.size())).messages.size(), 1u);
    EXPECT_TRUE(ReadImapReply("* 1 FETCH (UID 99999999999 BODY[] {99999999999999999999}\r\n").messages.empty());
    const ImapReply search = ReadImapReply("* SEARCH 3 10 4000000000\r\n* SEARCH\r\n");
    EXPECT_EQ(search.search, (std::vector<uint32_t>{3, 10, 4000000000u}));
}

TEST(ServerSettingsTest, AddressesAreCheckedAndOnlyLoopbackMayBePlain) {
    for (const char* good : {"imaps://mail.example.org", "smtp://mail.example.org:587/", "imaps://[::1]:993"}) {
        EXPECT_EQ(CheckServerAddress(good, good[0] == 's' ? "smtp" : "imap"), "") << good;
    }
    EXPECT_NE(CheckServerAddress("smtp://mail.example.org", "imap"), "");
    for (const char* bad : {"imaps://", "imaps://host:99999", "imaps://host:12x", "imaps://user@host", "imaps://host/INBOX"}) {
        EXPECT_NE(CheckServerAddress(bad, "imap"), "") << bad;
    }
    EXPECT_TRUE(IsLoopbackAddress("imap://127.0.0.1:143"));
    EXPECT_TRUE(IsLoopbackAddress("smtp://[::1]:25"));
    EXPECT_FALSE(IsLoopbackAddress("imap://127.0.0.1.example.org"));
    ServerSettings s;
    s.domain = "example.org";
    EXPECT_EQ(LoginName(s, "ann"), "ann");
    s.login_with_domain = true;
    EXPECT_EQ(LoginName(s, "ann"), "ann@example.org");
    EXPECT_EQ(WithCrlf("a\nb\r\nc"), "a\r\nb\r\nc\r\n");
}

struct Command {
    int status;
    std::string out, err;
};

Command Server(const std::vector<std::string>& args, const std::filesystem::path& root) {
    std::ostringstream out, err;
    std::vector<std::string> all = args;
    all.insert(all.end(), {"--data", root.string()});
    const int status = RunServerCommand(all, out, err, "/nonexistent", WRENMAIL_SOURCE_DIR "/content");
    return {status, out.str(), err.str()};
}

TEST(ServerCommandTest, SetShowClearPerDataRoot) {
    harbor_test::TempDir scratch;
    const auto root = scratch.Path();
    EXPECT_NE(Server({"show"}, root).out.find("embedded post office"), std::string::npos);
    EXPECT_EQ(Server({"set", "--imap", "imaps://mail.example.org", "--domain", "example.org"}, root).status, 2)
        << "no SMTP server given and none in the settings";
    EXPECT_EQ(Server({"set", "--imap", "http://x", "--smtp", "smtp://m:587", "--domain", "d.org"}, root).status, 2);
    EXPECT_EQ(Server({"set", "--imap", "imaps://m", "--smtp", "smtp://m:587", "--domain", "d.org", "--ca-file",
                      (root / "missing.pem").string()},
                     root)
                  .status,
              1);
    const Command set = Server({"set", "--imap", "imaps://mail.example.org", "--smtp=smtp://mail.example.org:587",
                                "--domain", "example.org", "--login", "id@domain"},
                               root);
    ASSERT_EQ(set.status, 0) << set.err;
    // Options left out keep their value.
    ASSERT_EQ(Server({"set", "--delete-after-fetch"}, root).status, 0);
    std::string error;
    const std::optional<ServerSettings> s = LoadServerSettings(root, error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->smtp, "smtp://mail.example.org:587");
    EXPECT_TRUE(s->login_with_domain);
    EXPECT_TRUE(s->delete_after_fetch);
    EXPECT_NE(Server({"show"}, root).out.find("imaps://mail.example.org"), std::string::npos);
    EXPECT_EQ(Server({"frobnicate"}, root).status, 2);
    EXPECT_EQ(Server({"set", "--bogus"}, root).status, 2);
    EXPECT_EQ(Server({"clear"}, root).status, 0);
    EXPECT_FALSE(LoadServerSettings(root, error));
}

TEST(ServerCommandTest, ABrokenSettingsFileIsNamedNotUsed) {
    harbor_test::TempDir scratch;
    harbor_test::WriteFile(ServerSettingsFile(scratch.Path()), "{\"imap\": \"ftp://x\"}");
    std::string error;
    EXPECT_FALSE(LoadServerSettings(scratch.Path(), error));
    EXPECT_NE(error.find("ftp://x"), std::string::npos);
    EXPECT_EQ(Server({"show"}, scratch.Path()).status, 1);
}

TEST(FetchedUidsTest, ANewUidValidityStartsTheRecordAgain) {
    harbor_test::TempDir scratch;
    FetchedUids record(scratch.Path() / "sub" / "ann.fetched", false);
    EXPECT_TRUE(record.Load(5).empty());
    ASSERT_TRUE(record.Add(5, 1));
    ASSERT_TRUE(record.Add(5, 3));
    EXPECT_EQ(record.Load(5), (std::set<uint32_t>{1, 3}));
    EXPECT_TRUE(record.Load(6).empty());
    ASSERT_TRUE(record.Add(6, 2));
    EXPECT_EQ(record.Load(6), (std::set<uint32_t>{2}));
    EXPECT_TRUE(record.Load(5).empty());
}

// The mail service's mark of a letter stays with the spooled letter, across a restart, until the
// letter is sent: a crash before the service noted the letter still finds it spooled. Letters
// spooled by a sender nobody signed in are kept (they go at the sender's next sign-in).
TEST(RemoteSpoolTest, AMarkStaysWithItsSpooledLetterAcrossARestart) {
    harbor_test::TempDir scratch;
    const ServerSettings settings{"imap://127.0.0.1:9", "smtp://127.0.0.1:9", "home.test", "", false, false};
    {
        RemoteBackend backend(settings, scratch.Path(), false);
        backend.MarkNextSubmit("ann_01 0123abcd");
        ASSERT_TRUE(backend.Submit("ann_01", "Subject: one\r\n\r\nhi\r\n", {"bob_02"}));
        ASSERT_TRUE(backend.Submit("ann_01", "Subject: two\r\n\r\nhi\r\n", {"bob_02"}));  // no mark given
        backend.MarkNextSubmit("bob_02 99");  // another sender's mark is not taken
        ASSERT_TRUE(backend.Submit("ann_01", "Subject: three\r\n\r\nhi\r\n", {"bob_02"}));
        EXPECT_EQ(backend.SpooledMarks(), std::vector<std::string>{"ann_01 0123abcd"});
    }
    RemoteBackend again(settings, scratch.Path(), false);
    EXPECT_EQ(again.SpooledMarks(), std::vector<std::string>{"ann_01 0123abcd"});
}

}  // namespace
