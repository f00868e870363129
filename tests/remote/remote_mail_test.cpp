// The mail service against real servers on 127.0.0.1: Dovecot (IMAP, IMAPS, LMTP) and an SMTP
// submission front end delivering by LMTP, started once for the whole program from
// scripts/mail-servers in a fresh folder with a self-signed certificate, and stopped by pid.
// Servers that cannot start fail every test here: they are never skipped.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "mail/imap_reply.h"
#include "mail/mail_transfer.h"
#include "mail/server_settings.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;

const std::string kScripts = WRENMAIL_SOURCE_DIR "/scripts/mail-servers";

// One set of servers for the program: its folder, ports and certificate.
struct Servers {
    std::filesystem::path dir;
    int imap = 0, imaps = 0, smtp = 0, smtps = 0;
    std::string problem;  // why they did not start
    std::string ca() const { return (dir / "tls" / "cert.pem").string(); }
};

Servers* servers = nullptr;

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

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
        std::string pattern = (std::filesystem::temp_directory_path() / "wrenmail-servers-XXXXXX").string();
        servers->dir = ::mkdtemp(pattern.data());
        std::filesystem::permissions(servers->dir, std::filesystem::perms(0755));  // the servers may run as nobody
        // Ports from the process id, so that two runs on one computer do not meet.
        const int base = 20000 + static_cast<int>(::getpid() % 2000) * 4;
        servers->imap = base, servers->imaps = base + 1, servers->smtp = base + 2, servers->smtps = base + 3;
        const std::string command = "IMAP_PORT=" + std::to_string(servers->imap) + " IMAPS_PORT=" +
                                    std::to_string(servers->imaps) + " SMTP_PORT=" + std::to_string(servers->smtp) +
                                    " SMTPS_PORT=" + std::to_string(servers->smtps) + " START_TIMEOUT=30 " + kScripts +
                                    "/start.sh " + servers->dir.string() + " > " + (servers->dir / "start.log").string() +
                                    " 2>&1";
        if (Shell(command) != 0) {
            std::ifstream log(servers->dir / "start.log");
            std::ostringstream text;
            text << log.rdbuf();
            servers->problem = "the mail servers did not start (scripts/install-deps.sh installs them):\n" + text.str();
        }
    }
    void TearDown() override {
        if (!servers->dir.empty()) Shell(kScripts + "/stop.sh " + servers->dir.string() + " > /dev/null 2>&1");
        std::error_code ec;
        if (!servers->dir.empty()) std::filesystem::remove_all(servers->dir, ec);
        delete servers;
        servers = nullptr;
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ServersEnvironment);

// tests/remote/drop_proxy.py in front of the plain IMAP port, as this program's child: it closes
// the first `cuts` connections (every one for -1) a little after a message's text began.
class DropProxy {
public:
    DropProxy(int target, int cuts, const std::filesystem::path& dir) {
        const std::filesystem::path port_file = dir / ("proxy-" + std::to_string(cuts) + ".port");
        std::filesystem::remove(port_file);  // an earlier proxy's
        const std::string script = WRENMAIL_SOURCE_DIR "/tests/remote/drop_proxy.py";
        const std::string target_text = std::to_string(target), cuts_text = std::to_string(cuts);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl("/usr/bin/python3", "python3", script.c_str(), target_text.c_str(), port_file.c_str(), "--cuts",
                    cuts_text.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 200 && port_ == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::ifstream(port_file) >> port_;
        }
    }
    ~DropProxy() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    int Port() const { return port_; }

private:
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

    void UseServer(const harbor::ServerSettings& s) {
        std::string error;
        ASSERT_TRUE(harbor::SaveServerSettings(scratch_.Path(), s, error)) << error;
    }

    // Python's smtplib hands letters to the SMTP front end, as any other program would: the
    // Python text makes the letter `m` (SendWithSmtplib) or the list `ms` (SendAllWithSmtplib).
    void SendWithSmtplib(const std::string& to, const std::string& python_message) {
        SendAllWithSmtplib(to, python_message + "\nms = [m]");
    }
    void SendAllWithSmtplib(const std::string& to, const std::string& python_messages) {
        const std::string script = "import smtplib\nfrom email.message import EmailMessage\n" + python_messages +
                                   "\ns = smtplib.SMTP('127.0.0.1', " + std::to_string(servers->smtp) +
                                   ", local_hostname='localhost')\nfor m in ms:\n    s.send_message(m, to_addrs=['" + to +
                                   "'])\ns.quit()\n";
        const std::filesystem::path file = scratch_.Path() / "send.py";
        std::ofstream(file) << script;
        ASSERT_EQ(Shell("/usr/bin/python3 " + file.string()), 0);
    }

    // `count` letters in one SMTP session, subjects "TAG 1" to "TAG count", each with a text of
    // about a kilobyte.
    void SendManyWithSmtplib(const std::string& to, const std::string& tag, int count) {
        SendAllWithSmtplib(to, "ms = []\nfor i in range(1, " + std::to_string(count + 1) +
                                   "):\n    m = EmailMessage()\n    m['From'] = 'rose@example.org'\n"
                                   "    m['Subject'] = '" + tag + " %d' % i\n    m.set_content('kite ' * 200)\n"
                                   "    ms.append(m)");
    }

    // Everything waiting for the account: each message's Subject, then freed as stored.
    static std::vector<std::string> FetchAll(uint32_t manager) {
        std::vector<std::string> subjects;
        while (const uint32_t m = Next(manager)) {
            subjects.push_back(GetText(m, "Subject").value_or("(none)"));
            Free(m);
        }
        return subjects;
    }

    static bool Contains(const std::vector<std::string>& list, const std::string& item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    }
};

TEST_F(RemoteMailTest, ALetterFromOneChildReachesAnotherThroughTheServers) {
    const std::string subject = "kites " + std::to_string(::getpid());
    {
        harbor::MailService service(Options());
        const SignInAnswer ann = SignIn("ann_01", "annpass1");
        ASSERT_EQ(ann.status, harbor::kSignInAccepted);
        ASSERT_EQ(ann.success, 1);
        ASSERT_TRUE(Send(ann.manager, WrittenMessage("bob_02", "ann_01", subject.c_str(), "Hello Bob, look up!")));
        service.FinishInFlight();
        EXPECT_TRUE(std::filesystem::is_empty(scratch_.Path() / ".remote" / "spool")) << "accepted mail leaves the spool";
    }
    ScratchDir bob_root;
    std::string error;
    ASSERT_TRUE(harbor::SaveServerSettings(bob_root.Path(), TlsSettings(), error));
    harbor::MailServiceOptions options = Options();
    options.data_root = bob_root.Path();
    {
        harbor::MailService service(options);
        const SignInAnswer bob = SignIn("bob_02", "bobpass2");
        ASSERT_EQ(bob.status, harbor::kSignInAccepted);
        const uint32_t m = Next(bob.manager);
        ASSERT_NE(m, 0u);
        const std::vector<std::string> rest = FetchAll(bob.manager);
        std::string subjects = GetText(m, "Subject").value_or("");
        const std::string from = GetText(m, "From").value_or("");
        const std::string body = GetText(m, "Body").value_or("");
        Free(m);
        subjects += "|";
        for (const std::string& s : rest) subjects += s + "|";
        EXPECT_NE(subjects.find(subject), std::string::npos) << subjects;
        if (rest.empty()) {  // the only letter: it is ann's
            EXPECT_EQ(from, "ann_01");
            EXPECT_NE(body.find("Hello Bob"), std::string::npos);
        }
    }
    // Stored letters are recorded as fetched: a new start hands out nothing again.
    harbor::MailService again(options);
    const SignInAnswer bob = SignIn("bob_02", "bobpass2");
    EXPECT_EQ(Next(bob.manager), 0u);
}

TEST_F(RemoteMailTest, ALetterWrittenByAnotherProgramShowsItsSubjectSenderAndText) {
    SendWithSmtplib("carol_03@example.test", R"(m = EmailMessage()
m['From'] = 'Grandma Rose <rose@example.org>'
m['To'] = 'carol_03@example.test'
m['Subject'] = 'Grüße aus Köln ✈'
m.set_content('Plain text: the kite flew high.')
m.add_alternative('<p>HTML: the kite <b>flew</b> high.</p>', subtype='html')
m.add_attachment(b'\x89PNG fake', maintype='image', subtype='png', filename='kite.png'))");
    harbor::MailService service(Options());
    const SignInAnswer carol = SignIn("carol_03", "sp ace\"q\\3");  // a password LOGIN would have to quote
    ASSERT_EQ(carol.status, harbor::kSignInAccepted);
    uint32_t found = 0;
    while (const uint32_t m = Next(carol.manager)) {
        if (found == 0 && GetText(m, "Subject") == "Grüße aus Köln ✈") {
            found = m;
            continue;
        }
        Free(m);
    }
    ASSERT_NE(found, 0u) << "the letter was not fetched, or its subject was not decoded";
    EXPECT_NE(GetText(found, "From").value_or("").find("rose@example.org"), std::string::npos);
    EXPECT_NE(GetText(found, "Body").value_or("").find("the kite flew high"), std::string::npos);
    Free(found);
}

TEST_F(RemoteMailTest, WrongPasswordUnreachableServerAndBadCertificateLoseNothing) {
    SendWithSmtplib("bob_02@example.test", "m = EmailMessage()\nm['From'] = 'ann_01@example.test'\n"
                                           "m['Subject'] = 'kept'\nm.set_content('still here')");
    {
        harbor::MailService service(Options());
        const SignInAnswer wrong = SignIn("bob_02", "bobpass3");
        EXPECT_EQ(wrong.status, harbor::kSignInRefused);
        EXPECT_EQ(wrong.success, 1);
        EXPECT_EQ(wrong.manager, 0u);
        EXPECT_EQ(SignIn("no such/id", "x").status, harbor::kSignInRefused);
    }
    harbor::ServerSettings closed = TlsSettings();
    closed.imap = Loopback("imaps", 1);  // nothing listens there
    UseServer(closed);
    {
        harbor::MailService service(Options());
        const SignInAnswer unreachable = SignIn("bob_02", "bobpass2");
        EXPECT_FALSE(unreachable.status.has_value());
        EXPECT_FALSE(unreachable.success.has_value());
    }
    harbor::ServerSettings untrusted = TlsSettings();
    untrusted.ca_file.clear();  // the system's trust store does not know the test's certificate
    UseServer(untrusted);
    {
        harbor::MailService service(Options());
        const SignInAnswer refused = SignIn("bob_02", "bobpass2");
        EXPECT_FALSE(refused.status.has_value()) << "a certificate that cannot be verified is no server";
        EXPECT_FALSE(refused.success.has_value());
    }
    harbor::ServerSettings starttls = TlsSettings();  // the same mailbox through imap:// on loopback
    starttls.imap = Loopback("imap", servers->imap);
    UseServer(starttls);
    harbor::MailService service(Options());
    const SignInAnswer bob = SignIn("bob_02", "bobpass2");
    ASSERT_EQ(bob.status, harbor::kSignInAccepted);
    EXPECT_TRUE(Contains(FetchAll(bob.manager), "kept"));
}

TEST_F(RemoteMailTest, AFetchedLetterIsHandedOutAgainUnlessTheModuleStoredIt) {
    SendWithSmtplib("ann_01@example.test", "m = EmailMessage()\nm['From'] = 'bob_02@example.test'\n"
                                           "m['Subject'] = 'twice'\nm.set_content('again')");
    SendWithSmtplib("ann_01@example.test", "m = EmailMessage()\nm['From'] = 'bob_02@example.test'\n"
                                           "m['Subject'] = 'stored at the stop'\nm.set_content('kept')");
    {
        harbor::MailService service(Options());
        const SignInAnswer ann = SignIn("ann_01", "annpass1");
        ASSERT_EQ(ann.status, harbor::kSignInAccepted);
        int held = 0;
        while (const uint32_t m = Next(ann.manager)) {
            const std::string subject = GetText(m, "Subject").value_or("");
            if (subject == "stored at the stop") {
                // The module wrote it into its InBox; the program ends before it said so (freed it).
                const std::filesystem::path inbox = scratch_.Path() / "MailBoxes" / "kiteAccounts" / "ann_01" / "InBox";
                std::filesystem::create_directories(inbox);
                std::ofstream(inbox / "WN7.wnl") << "stored message file\n" << GetText(m, "Data").value_or("");
                ++held;
            } else if (subject == "twice") {
                ++held;  // handed out, never stored
            } else {
                Free(m);
            }
        }
        ASSERT_EQ(held, 2);
    }
    harbor::MailService service(Options());
    const SignInAnswer ann = SignIn("ann_01", "annpass1");
    const std::vector<std::string> again = FetchAll(ann.manager);
    EXPECT_EQ(std::count(again.begin(), again.end(), "twice"), 1);
    EXPECT_EQ(std::count(again.begin(), again.end(), "stored at the stop"), 0);
    EXPECT_TRUE(FetchAll(ann.manager).empty());
}

TEST_F(RemoteMailTest, ALetterTheServerRefusesComesBackAsCouldNotBeDelivered) {
    harbor::MailService service(Options());
    const SignInAnswer ann = SignIn("ann_01", "annpass1");
    ASSERT_EQ(ann.status, harbor::kSignInAccepted);
    FetchAll(ann.manager);
    ASSERT_TRUE(Send(ann.manager, WrittenMessage("nobody_here", "ann_01", "lost kite", "Is this yours?")));
    service.FinishInFlight();
    EXPECT_TRUE(std::filesystem::is_empty(scratch_.Path() / ".remote" / "spool"));
    EXPECT_TRUE(Contains(FetchAll(ann.manager), "Your letter could not be delivered"));
}

TEST_F(RemoteMailTest, AServerThatDropsTheConnectionMidFetchLosesNothingAndRepeatsNothing) {
    const std::string tag = "dropped " + std::to_string(::getpid());
    SendManyWithSmtplib("bob_02@example.test", tag, 30);
    std::map<std::string, int> stored;
    const auto fetch_round = [&](int cuts) {
        DropProxy proxy(servers->imap, cuts, scratch_.Path());
        ASSERT_NE(proxy.Port(), 0) << "the drop proxy did not start";
        harbor::ServerSettings through = TlsSettings();
        through.imap = Loopback("imap", proxy.Port());
        UseServer(through);
        harbor::MailService service(Options());
        const SignInAnswer bob = SignIn("bob_02", "bobpass2");
        ASSERT_EQ(bob.status, harbor::kSignInAccepted);
        while (const uint32_t m = Next(bob.manager)) {
            const std::string subject = GetText(m, "Subject").value_or("");
            if (subject.starts_with(tag)) ++stored[subject];
            Free(m);
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
}

TEST_F(RemoteMailTest, ALetterTheServerHoldsTwiceIsStoredOnce) {
    // A sender that crashed after the server took a letter sends it again: same Message-ID, same
    // body. A sender that reuses a Message-ID for another letter keeps both letters.
    const std::string id = "<twice-" + std::to_string(::getpid()) + "@example.test>";
    const std::string letters = "ms = []\nfor subject, body in [('held twice', 'same'), ('held twice', 'same'), ('reused id', 'other')]:\n"
                                "    m = EmailMessage()\n    m['From'] = 'bob_02@example.test'\n    m['Subject'] = subject\n"
                                "    m['Message-ID'] = '" + id + "'\n    m.set_content(body)\n    ms.append(m)";
    SendAllWithSmtplib("ann_01@example.test", letters);
    {
        harbor::MailService service(Options());
        const SignInAnswer ann = SignIn("ann_01", "annpass1");
        ASSERT_EQ(ann.status, harbor::kSignInAccepted);
        const std::vector<std::string> first = FetchAll(ann.manager);
        EXPECT_EQ(std::count(first.begin(), first.end(), "held twice"), 1);
        EXPECT_EQ(std::count(first.begin(), first.end(), "reused id"), 1);
        EXPECT_TRUE(FetchAll(ann.manager).empty()) << "the second copy counts as fetched, not as new";
    }
    SendAllWithSmtplib("ann_01@example.test", letters);  // a copy that comes after the first was stored
    harbor::MailService service(Options());
    const SignInAnswer ann = SignIn("ann_01", "annpass1");
    EXPECT_TRUE(FetchAll(ann.manager).empty());
}

TEST_F(RemoteMailTest, ALetterWithoutADateGetsTheDayTheServerReceivedIt) {
    const std::time_t before = std::time(nullptr);
    SendWithSmtplib("ann_01@example.test", "m = EmailMessage()\nm['From'] = 'bob_02@example.test'\n"
                                           "m['Subject'] = 'undated " + std::to_string(::getpid()) + "'\nm.set_content('when?')");
    SendWithSmtplib("ann_01@example.test", "m = EmailMessage()\nm['From'] = 'bob_02@example.test'\n"
                                           "m['Date'] = 'Mon, 01 Jan 2001 00:00:00 +0000'\n"
                                           "m['Subject'] = 'dated " + std::to_string(::getpid()) + "'\nm.set_content('then')");
    const std::time_t after = std::time(nullptr);
    harbor::MailService service(Options());
    const SignInAnswer ann = SignIn("ann_01", "annpass1");
    ASSERT_EQ(ann.status, harbor::kSignInAccepted);
    std::map<std::string, int64_t> dates;
    while (const uint32_t m = Next(ann.manager)) {
        dates[GetText(m, "Subject").value_or("")] = static_cast<uint32_t>(GetLong(m, "Date").value_or(0));
        Free(m);
    }
    const int64_t undated = dates["undated " + std::to_string(::getpid())];
    EXPECT_GE(undated, before - 120);  // the server's clock is this computer's
    EXPECT_LE(undated, after + 120);
    EXPECT_EQ(dates["dated " + std::to_string(::getpid())], 978307200);
}

TEST_F(RemoteMailTest, SpooledMailGoesAtItsSendersNextSignInAndNoPasswordIsWritten) {
    const std::string subject = "spooled " + std::to_string(::getpid());
    harbor::ServerSettings no_smtp = TlsSettings();
    no_smtp.smtp = Loopback("smtps", 1);  // the letter cannot go in this run
    UseServer(no_smtp);
    {
        harbor::MailService service(Options());
        const SignInAnswer ann = SignIn("ann_01", "annpass1");
        ASSERT_EQ(ann.status, harbor::kSignInAccepted);
        ASSERT_TRUE(Send(ann.manager, WrittenMessage("bob_02", "ann_01", subject.c_str(), "wait for me")));
        service.FinishInFlight();
    }
    UseServer(TlsSettings());
    const std::filesystem::path spool = scratch_.Path() / ".remote" / "spool";
    {
        harbor::MailService service(Options());
        service.FinishInFlight();
        EXPECT_FALSE(std::filesystem::is_empty(spool)) << "without its sender's password the letter waits";
        ASSERT_EQ(SignIn("bob_02", "bobpass2").status, harbor::kSignInAccepted);  // another child signs in
        service.FinishInFlight();
        EXPECT_FALSE(std::filesystem::is_empty(spool));
        ASSERT_EQ(SignIn("ann_01", "annpass1").status, harbor::kSignInAccepted);
        service.FinishInFlight();
        EXPECT_TRUE(std::filesystem::is_empty(spool));
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch_.Path())) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes.find("annpass1"), std::string::npos) << entry.path();
        EXPECT_EQ(bytes.find("bobpass2"), std::string::npos) << entry.path();
    }
    harbor::MailService service(Options());
    const SignInAnswer bob = SignIn("bob_02", "bobpass2");
    EXPECT_TRUE(Contains(FetchAll(bob.manager), subject));
}

}  // namespace
