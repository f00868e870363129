// The mail service against real servers on 127.0.0.1: Dovecot (IMAP, IMAPS, LMTP) and an SMTP
// submission front end delivering by LMTP, started once for the whole program from
// scripts/mail-servers in a fresh folder with a self-signed certificate, and stopped by pid.
// Servers that cannot start fail every test here: they are never skipped.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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

    // Python's smtplib hands a letter to the SMTP front end, as any other program would.
    void SendWithSmtplib(const std::string& to, const std::string& python_message) {
        const std::string script = "import smtplib\nfrom email.message import EmailMessage\n" + python_message +
                                   "\ns = smtplib.SMTP('127.0.0.1', " + std::to_string(servers->smtp) +
                                   ", local_hostname='localhost')\ns.send_message(m, to_addrs=['" + to + "'])\ns.quit()\n";
        const std::filesystem::path file = scratch_.Path() / "send.py";
        std::ofstream(file) << script;
        ASSERT_EQ(Shell("/usr/bin/python3 " + file.string()), 0);
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

TEST_F(RemoteMailTest, AFetchedLetterNotStoredIsHandedOutAgain) {
    SendWithSmtplib("ann_01@example.test", "m = EmailMessage()\nm['From'] = 'bob_02@example.test'\n"
                                           "m['Subject'] = 'twice'\nm.set_content('again')");
    {
        harbor::MailService service(Options());
        const SignInAnswer ann = SignIn("ann_01", "annpass1");
        ASSERT_EQ(ann.status, harbor::kSignInAccepted);
        uint32_t m = 0;
        while ((m = Next(ann.manager)) != 0 && GetText(m, "Subject") != "twice") Free(m);
        ASSERT_NE(m, 0u);
        // The program ends before the module stored (freed) it.
    }
    harbor::MailService service(Options());
    const SignInAnswer ann = SignIn("ann_01", "annpass1");
    const std::vector<std::string> again = FetchAll(ann.manager);
    EXPECT_EQ(std::count(again.begin(), again.end(), "twice"), 1);
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

}  // namespace
