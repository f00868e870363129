// The mail service against real servers on 127.0.0.1: Dovecot (IMAP, IMAPS, LMTP) and an SMTP
// submission front end delivering by LMTP, started once for the whole program from
// scripts/mail-servers in a fresh folder with a self-signed certificate, and stopped by pid.
// Servers that cannot start fail every test that needs them: they are never skipped. Then the
// pieces under the remote back end that need no server: the settings and their command, the
// reading of IMAP answers, the record of fetched UIDs and the marks of spooled letters.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "mail/fetched_uids.h"
#include "mail/imap_reply.h"
#include "mail/mail_transfer.h"
#include "mail/remote_backend.h"
#include "mail/server_command.h"
#include "mail/server_settings.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;

const std::string kScripts = WRENMAIL_SOURCE_DIR "/scripts/mail-servers";

// One set of servers for the program: its folder, ports and certificate.
struct Servers {
    TempDir scratch;
    std::filesystem::path dir;  // empty unless started
    int imap = 0, imaps = 0, smtp = 0, smtps = 0;
    std::string problem;  // why they did not start
    std::string ca() const { return (dir / "tls" / "cert.pem").string(); }
};

Servers* servers = nullptr;

using harbor_test::RunCommand;

class ServersEnvironment : public ::testing::Environment {
public:
    // Servers are started only for a run that has tests needing them.
    static bool ServerTestsSelected() {
        const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
        for (int i = 0; i < unit.total_test_suite_count(); ++i) {
            const ::testing::TestSuite& suite = *unit.GetTestSuite(i);
            if (std::string(suite.name()) == "RemoteMailTest" && suite.test_to_run_count() > 0) return true;
        }
        return false;
    }

    void SetUp() override {
        servers = new Servers;
        if (!ServerTestsSelected()) return;
        servers->dir = servers->scratch.Path();
        std::filesystem::permissions(servers->dir, std::filesystem::perms(0755));  // the servers may run as nobody
        // Ports from the process id, so that two runs on one computer do not meet.
        const int base = 20000 + static_cast<int>(::getpid() % 2000) * 4;
        servers->imap = base, servers->imaps = base + 1, servers->smtp = base + 2, servers->smtps = base + 3;
        const std::string command = "IMAP_PORT=" + std::to_string(base) + " IMAPS_PORT=" + std::to_string(base + 1) +
                                    " SMTP_PORT=" + std::to_string(base + 2) + " SMTPS_PORT=" + std::to_string(base + 3) +
                                    " START_TIMEOUT=30 " + kScripts + "/start.sh " + servers->dir.string() + " > " +
                                    (servers->dir / "start.log").string() + " 2>&1";
        if (RunCommand(command).status != 0) {
            servers->problem = "the mail servers did not start (scripts/install-deps.sh installs them):\n" +
                               harbor_test::ReadFile(servers->dir / "start.log");
        }
    }
    void TearDown() override {
        if (!servers->dir.empty()) RunCommand(kScripts + "/stop.sh " + servers->dir.string() + " > /dev/null 2>&1");
        delete servers;
        servers = nullptr;
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ServersEnvironment);

// tests/remote/drop_proxy.py in front of the plain IMAP port, in the background and stopped by
// its pid: it closes the first `cuts` connections (every one for -1) a little after a message's
// text began.
class DropProxy {
public:
    // `options`: more of drop_proxy.py's ("--stall": kept open and silent, noted in StallsFile()).
    DropProxy(int target, int cuts, const std::filesystem::path& dir, const std::string& options = "") {
        const std::filesystem::path port_file = dir / ("proxy-" + std::to_string(cuts) + ".port");
        std::filesystem::remove(port_file);  // an earlier proxy's
        stalls_ = port_file.string() + ".stalls";
        std::filesystem::remove(stalls_);
        pid_ = std::atoi(RunCommand("/usr/bin/python3 " WRENMAIL_SOURCE_DIR "/tests/remote/drop_proxy.py " + std::to_string(target) +
                             " " + port_file.string() + " --cuts " + std::to_string(cuts) + " " + options +
                             " > /dev/null 2>&1 & echo $!")
                             .output.c_str());
        for (int i = 0; i < 200 && port_ == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream(port_file) >> port_;
        }
    }
    ~DropProxy() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
    }
    int Port() const { return port_; }
    const std::filesystem::path& StallsFile() const { return stalls_; }

private:
    std::filesystem::path stalls_;
    pid_t pid_ = -1;
    int port_ = 0;
};

std::string Loopback(const char* scheme, int port) { return std::string(scheme) + "://127.0.0.1:" + std::to_string(port); }

class RemoteMailTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        ASSERT_TRUE(servers != nullptr && servers->problem.empty()) << (servers ? servers->problem : "no servers");
        UseServer(TlsSettings());
    }

    harbor::ServerSettings TlsSettings() const {
        harbor::ServerSettings s;
        s.imap = Loopback("imaps", servers->imaps);
        s.smtp = Loopback("smtps", servers->smtps);
        s.domain = "example.test";
        s.ca_file = servers->ca();
        return s;
    }

    void UseServer(const harbor::ServerSettings& s, const std::filesystem::path& root = {}) {
        std::string error;
        ASSERT_TRUE(harbor::SaveServerSettings(root.empty() ? scratch_.Path() : root, s, error)) << error;
    }

    // The servers' accounts; carol's is a password LOGIN would have to quote.
    static const char* Password(std::string_view user) {
        return user == "ann_01" ? "annpass1" : user == "bob_02" ? "bobpass2" : "sp ace\"q\\3";
    }
    // The manager of an account the servers accept.
    static uint32_t SignedInAs(const char* user) {
        const SignInAnswer answer = SignIn(user, Password(user));
        EXPECT_EQ(answer.status, harbor::kSignInAccepted) << user;
        EXPECT_EQ(answer.success, 1) << user;
        return answer.manager;
    }

    // Python's smtplib hands letters to the SMTP front end, as any other program would: the
    // Python text makes the list `ms` of letters.
    void SendWithSmtplib(const std::string& to, const std::string& python_messages) {
        const std::string script = "import smtplib\nfrom email.message import EmailMessage\n" + python_messages +
                                   "\ns = smtplib.SMTP('127.0.0.1', " + std::to_string(servers->smtp) +
                                   ", local_hostname='localhost')\nfor m in ms:\n    s.send_message(m, to_addrs=['" + to +
                                   "'])\ns.quit()\n";
        const std::filesystem::path file = scratch_.Path() / "send.py";
        harbor_test::WriteFile(file, script);
        ASSERT_EQ(RunCommand("/usr/bin/python3 " + file.string()).status, 0);
    }
    // One plain letter; `headers` are more Python lines setting m's headers.
    void SendLetter(const std::string& to, const std::string& from, const std::string& subject,
                    const std::string& text, const std::string& headers = "") {
        SendWithSmtplib(to, "m = EmailMessage()\nm['From'] = '" + from + "'\nm['Subject'] = '" + subject + "'\n" +
                                headers + "m.set_content('" + text + "')\nms = [m]");
    }

    static bool Contains(const std::vector<std::string>& list, const std::string& item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    }
    bool SpoolEmpty() const { return std::filesystem::is_empty(scratch_.Path() / ".remote" / "spool"); }
};

TEST_F(RemoteMailTest, WrongPasswordUnreachableServerAndBadCertificateLoseNothing) {
    SendLetter("bob_02@example.test", "ann_01@example.test", "kept", "still here");
    Restart();
    const SignInAnswer wrong = SignIn("bob_02", "bobpass3");
    EXPECT_EQ(wrong.status, harbor::kSignInRefused);
    EXPECT_EQ(wrong.success, 1);
    EXPECT_EQ(wrong.manager, 0u);
    EXPECT_EQ(SignIn("no such/id", "x").status, harbor::kSignInRefused);

    harbor::ServerSettings closed = TlsSettings();
    closed.imap = Loopback("imaps", 1);  // nothing listens there
    harbor::ServerSettings untrusted = TlsSettings();
    untrusted.ca_file.clear();  // the system's trust store does not know the test's certificate
    for (const harbor::ServerSettings& no_server : {closed, untrusted}) {
        SCOPED_TRACE(no_server.ca_file.empty() ? "untrusted" : "closed");
        UseServer(no_server);
        Restart();
        const SignInAnswer unreachable = SignIn("bob_02", "bobpass2");
        EXPECT_FALSE(unreachable.status.has_value());
        EXPECT_FALSE(unreachable.success.has_value());
    }
    harbor::ServerSettings starttls = TlsSettings();  // the same mailbox through imap:// on loopback
    starttls.imap = Loopback("imap", servers->imap);
    UseServer(starttls);
    Restart();
    EXPECT_TRUE(Contains(FetchSubjects(SignedInAs("bob_02")), "kept"));
}

TEST_F(RemoteMailTest, AFetchedLetterIsHandedOutAgainUnlessTheModuleStoredIt) {
    SendLetter("ann_01@example.test", "bob_02@example.test", "twice", "again");
    SendLetter("ann_01@example.test", "bob_02@example.test", "stored at the stop", "kept");
    Restart();
    const uint32_t ann = SignedInAs("ann_01");
    int held = 0;
    while (const uint32_t m = Next(ann)) {
        const std::string subject = GetText(m, "Subject").value_or("");
        if (subject == "stored at the stop") {
            // The module wrote it into its InBox; the program ends before it said so (freed it).
            harbor_test::WriteFile(scratch_.Path() / "MailBoxes" / "kiteAccounts" / "ann_01" / "InBox" / "WN7.wnl",
                                   "stored message file\n" + GetText(m, "Data").value_or(""));
            ++held;
        } else if (subject == "twice") {
            ++held;  // handed out, never stored
        } else {
            Free(m);
        }
    }
    ASSERT_EQ(held, 2);
    Restart();
    const uint32_t again = SignedInAs("ann_01");
    const std::vector<std::string> subjects = FetchSubjects(again);
    EXPECT_EQ(std::count(subjects.begin(), subjects.end(), "twice"), 1);
    EXPECT_EQ(std::count(subjects.begin(), subjects.end(), "stored at the stop"), 0);
    EXPECT_TRUE(FetchSubjects(again).empty());
}

TEST_F(RemoteMailTest, ALetterTheServerRefusesComesBackAsCouldNotBeDelivered) {
    Restart();
    const uint32_t ann = SignedInAs("ann_01");
    FetchSubjects(ann);
    ASSERT_TRUE(Send(ann, WrittenMessage("nobody_here", "ann_01", "lost kite", "Is this yours?")));
    service_->FinishInFlight();
    EXPECT_TRUE(SpoolEmpty());
    EXPECT_TRUE(Contains(FetchSubjects(ann), "Your letter could not be delivered"));
    // One recipient refused, another taken: the one the server takes still gets the letter.
    const std::string subject = "half refused " + std::to_string(::getpid());
    ASSERT_TRUE(Send(ann, WrittenMessage("nobody_here, bob_02", "ann_01", subject.c_str(), "Hello")));
    service_->FinishInFlight();
    EXPECT_TRUE(SpoolEmpty());
    EXPECT_TRUE(Contains(FetchSubjects(ann), "Your letter could not be delivered"));
    EXPECT_TRUE(Contains(FetchSubjects(SignedInAs("bob_02")), subject));

    // A recipient refused for now (a full mailbox) holds back neither the others nor itself.
    DropProxy busy(servers->smtp, 0, scratch_.Path(), "--rewrite '550 5.1.1' '452 4.2.2'");
    harbor::ServerSettings through = TlsSettings();
    through.smtp = Loopback("smtp", busy.Port());
    UseServer(through);
    Restart();
    const std::string held = "held for one " + std::to_string(::getpid());
    ASSERT_TRUE(Send(SignedInAs("ann_01"), WrittenMessage("nobody_here, bob_02", "ann_01", held.c_str(), "Hello")));
    service_->FinishInFlight();
    EXPECT_FALSE(SpoolEmpty()) << "tried again later for the one refused";
    EXPECT_TRUE(Contains(FetchSubjects(SignedInAs("bob_02")), held));
}

TEST_F(RemoteMailTest, AServerThatDropsTheConnectionMidFetchLosesNothingAndRepeatsNothing) {
    const std::string tag = "dropped " + std::to_string(::getpid());
    SendWithSmtplib("bob_02@example.test", "ms = []\nfor i in range(1, 31):\n    m = EmailMessage()\n"
                                           "    m['From'] = 'rose@example.org'\n    m['Subject'] = '" + tag +
                                           " %d' % i\n    m.set_content('kite ' * 200)\n    ms.append(m)");
    std::map<std::string, int> stored;
    const auto fetch_round = [&](int cuts) {
        DropProxy proxy(servers->imap, cuts, scratch_.Path());
        ASSERT_NE(proxy.Port(), 0) << "the drop proxy did not start";
        harbor::ServerSettings through = TlsSettings();
        through.imap = Loopback("imap", proxy.Port());
        UseServer(through);
        harbor::MailService service(Options());  // ends before its proxy
        for (const std::string& subject : FetchSubjects(SignedInAs("bob_02"))) {
            if (subject.starts_with(tag)) ++stored[subject];
        }
    };
    fetch_round(-1);  // every fetch is cut: the round ends early and marks nothing it did not hand out
    EXPECT_LT(stored.size(), 30u);
    fetch_round(1);  // the kept connection is cut once: the batch comes again on a fresh one
    ASSERT_EQ(stored.size(), 30u);
    for (const auto& [subject, times] : stored) EXPECT_EQ(times, 1) << subject;

    // One connection serves a whole exchange; a dead one is replaced once, quietly.
    DropProxy once(servers->imap, 1, scratch_.Path());
    harbor::ServerSettings through = TlsSettings();
    through.imap = Loopback("imap", once.Port());
    harbor::ImapSession session(through, {"bob_02", "bobpass2"});
    EXPECT_EQ(session.Command("", "").outcome, harbor::TransferResult::Outcome::Done);
    const harbor::TransferResult listed = session.Command("INBOX", "UID SEARCH ALL");
    ASSERT_EQ(listed.outcome, harbor::TransferResult::Outcome::Done);
    EXPECT_EQ(session.Connections(), 1);
    const std::vector<uint32_t> uids = harbor::ReadImapReply(listed.stream).search;
    ASSERT_FALSE(uids.empty());
    const harbor::TransferResult text = session.MessageText("INBOX", uids.back());
    EXPECT_EQ(text.outcome, harbor::TransferResult::Outcome::Done);
    EXPECT_NE(text.stream.find("Subject:"), std::string::npos);
    EXPECT_EQ(session.Connections(), 2);

    // A server that goes silent mid-fetch ends the round at the first wait, not once per half batch.
    SendLetter("bob_02@example.test", "rose@example.org", tag + " silent", "shh");
    DropProxy silent(servers->imap, -1, scratch_.Path(), "--stall");
    through.imap = Loopback("imap", silent.Port());
    UseServer(through);
    {
        harbor::MailService service(Options());
        EXPECT_TRUE(FetchSubjects(SignedInAs("bob_02")).empty());
    }
    EXPECT_EQ(harbor_test::ReadFile(silent.StallsFile()), "stalled\n");
}

TEST_F(RemoteMailTest, ALetterTheServerHoldsTwiceIsStoredOnce) {
    // A sender that crashed after the server took a letter sends it again: same Message-ID, same
    // body. A sender that reuses a Message-ID for another letter keeps both letters.
    const std::string id = "<twice-" + std::to_string(::getpid()) + "@example.test>";
    const std::string letters = "ms = []\nfor subject, body in [('held twice', 'same'), ('held twice', 'same'), ('reused id', 'other')]:\n"
                                "    m = EmailMessage()\n    m['From'] = 'bob_02@example.test'\n    m['Subject'] = subject\n"
                                "    m['Message-ID'] = '" + id + "'\n    m.set_content(body)\n    ms.append(m)";
    SendWithSmtplib("ann_01@example.test", letters);
    Restart();
    const uint32_t ann = SignedInAs("ann_01");
    const std::vector<std::string> first = FetchSubjects(ann);
    EXPECT_EQ(std::count(first.begin(), first.end(), "held twice"), 1);
    EXPECT_EQ(std::count(first.begin(), first.end(), "reused id"), 1);
    EXPECT_TRUE(FetchSubjects(ann).empty()) << "the second copy counts as fetched, not as new";
    SendWithSmtplib("ann_01@example.test", letters);  // a copy that comes after the first was stored
    Restart();
    EXPECT_TRUE(FetchSubjects(SignedInAs("ann_01")).empty());
}

TEST_F(RemoteMailTest, ALetterWithoutADateGetsTheDayTheServerReceivedIt) {
    const std::string pid = std::to_string(::getpid());
    const std::time_t before = std::time(nullptr);
    SendLetter("ann_01@example.test", "bob_02@example.test", "undated " + pid, "when?");
    SendLetter("ann_01@example.test", "bob_02@example.test", "dated " + pid, "then",
               "m['Date'] = 'Mon, 01 Jan 2001 00:00:00 +0000'\n");
    const std::time_t after = std::time(nullptr);
    Restart();
    const uint32_t ann = SignedInAs("ann_01");
    std::map<std::string, int64_t> dates;
    while (const uint32_t m = Next(ann)) {
        dates[GetText(m, "Subject").value_or("")] = static_cast<uint32_t>(GetLong(m, "Date").value_or(0));
        Free(m);
    }
    EXPECT_GE(dates["undated " + pid], before - 120);  // the server's clock is this computer's
    EXPECT_LE(dates["undated " + pid], after + 120);
    EXPECT_EQ(dates["dated " + pid], 978307200);
}

TEST_F(RemoteMailTest, SpooledMailGoesAtItsSendersNextSignInAndNoPasswordIsWritten) {
    const std::string subject = "spooled " + std::to_string(::getpid());
    harbor::ServerSettings no_smtp = TlsSettings();
    no_smtp.smtp = Loopback("smtps", 1);  // the letter cannot go in this run
    UseServer(no_smtp);
    Restart();
    ASSERT_TRUE(Send(SignedInAs("ann_01"), WrittenMessage("bob_02", "ann_01", subject.c_str(), "wait for me")));
    service_->FinishInFlight();

    UseServer(TlsSettings());
    Restart();
    service_->FinishInFlight();
    EXPECT_FALSE(SpoolEmpty()) << "without its sender's password the letter waits";
    SignedInAs("bob_02");  // another child signs in
    service_->FinishInFlight();
    EXPECT_FALSE(SpoolEmpty());
    SignedInAs("ann_01");
    service_->FinishInFlight();
    EXPECT_TRUE(SpoolEmpty());
    service_.reset();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch_.Path())) {
        if (!entry.is_regular_file()) continue;
        const std::string bytes = harbor_test::ReadFile(entry.path());
        EXPECT_EQ(bytes.find("annpass1"), std::string::npos) << entry.path();
        EXPECT_EQ(bytes.find("bobpass2"), std::string::npos) << entry.path();
    }
    Restart();
    EXPECT_TRUE(Contains(FetchSubjects(SignedInAs("bob_02")), subject));
}

namespace parts {

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
    const std::string missing = (root / "missing.pem").string();
    EXPECT_EQ(Server({"set", "--imap", "imaps://m", "--smtp", "smtp://m:587", "--domain", "d.org", "--ca-file", missing},
                     root).status, 1);
    const Command set = Server({"set", "--imap", "imaps://mail.example.org", "--smtp=smtp://mail.example.org:587",
                                "--domain", "example.org", "--login", "id@domain"}, root);
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

}  // namespace parts

}  // namespace
