// The embedded post office through MailPort: sign-in, sending, fetching, the spool (one copy per
// letter, each recipient reached once across restarts and crashes), a full disk, confinement to
// the data root against planted symbolic links, and `harbor account` and `harbor import` driven
// with string streams.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <sstream>

#include "base/trace_log.h"
#include "data_dict_test_support.h"
#include "datadict/data_dict_loader.h"
#include "fileio/atomic_file.h"
#include "fileio/held_files.h"
#include "fileio/stored_messages.h"
#include "mail/import_file.h"
#include "mail/import_source.h"
#include "mail/mail_commands.h"
#include "mail/mail_domain.h"
#include "mail/mime_message.h"
#include "mail/player_inbox.h"
#include "mail/resend_guard.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
using harbor::AccountError;
using harbor::StoredMessages;
using harbor_test::ReadFile;
using harbor_test::WriteFile;
namespace fs = std::filesystem;
namespace mime = harbor::mime;

class PostOfficeTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        Restart();
        ASSERT_EQ(Office().Accounts().Add("ann_01", "apple"), AccountError::None);
        ASSERT_EQ(Office().Accounts().Add("bob_02", "banana"), AccountError::None);
    }
    void SendFromAnn(const char* to, const char* subject) {
        const uint32_t ann = SignedIn("ann_01", "apple");
        const uint32_t m = WrittenMessage(to, "ann_01", subject, "body");
        EXPECT_TRUE(Send(ann, m));
        Free(m);
        SignOut(ann);
    }
    fs::path SpoolDir() const { return scratch_.Path() / ".postoffice" / "spool"; }
};
using SpoolTest = PostOfficeTest;

TEST_F(PostOfficeTest, MailSentToAnAccountIsFetchedByItInArrivalOrder) {
    for (const char* subject : {"first", "second", "third"}) SendFromAnn("bob_02", subject);
    const uint32_t ann = SignedIn("ann_01", "apple");
    EXPECT_TRUE(FetchSubjects(ann).empty());

    const uint32_t bob = SignedIn("bob_02", "banana");
    const uint32_t m = Next(bob);
    ASSERT_NE(m, 0u);
    EXPECT_EQ(GetText(m, "From"), "ann_01");
    EXPECT_EQ(GetText(m, "To"), "bob_02");
    EXPECT_EQ(GetLong(m, "Date"), 1700000000);
    EXPECT_EQ(GetLong(m, "Parts"), 2);
    EXPECT_NE(GetText(m, "Data")->find("Message-Id:"), std::string::npos);  // given on sending
    Free(m);
    EXPECT_EQ(FetchSubjects(bob), (std::vector<std::string>{"second", "third"}));
    EXPECT_EQ(Next(bob), 0u);
}

TEST_F(PostOfficeTest, SendingNeedsAManagerAndARecipient) {
    const uint32_t m = WrittenMessage("bob_02", "ann_01", "s", "b");
    EXPECT_FALSE(Send(0, m));
    EXPECT_FALSE(Send(999, m));
    const uint32_t ann = SignedIn("ann_01", "apple");
    EXPECT_FALSE(Send(ann, NewMessage()));  // no To
    EXPECT_FALSE(Send(ann, 424242));
    SignOut(ann);
    EXPECT_FALSE(Send(ann, m));  // signed out
    EXPECT_EQ(Next(ann), 0u);
    EXPECT_EQ(Office().WaitingCount("bob_02"), 0u);
    // A line break in a recipient would split the spool file's address line: nothing is spooled.
    EXPECT_FALSE(Office().Submit("Subject: s\n\nb\n", {"bob_02\ngrandma@example.org"}));
    EXPECT_TRUE(Office().Outgoing().empty());
}

TEST_F(PostOfficeTest, AWriteCutShortLeavesNothingBehind) {
    Office().Spool().SetWriteStageHook([](harbor::WriteStage stage) {
        if (stage == harbor::WriteStage::TempWritten) throw std::runtime_error("power cut");
    });
    EXPECT_THROW(Office().Submit("Subject: lost?\n\nb\n", {"bob_02"}), std::runtime_error);
    Restart();
    EXPECT_EQ(Office().WaitingCount("bob_02"), 0u);
    EXPECT_TRUE(fs::is_empty(SpoolDir())) << "a half-written file";
}

TEST_F(PostOfficeTest, MailForOthersWaitsInTheSpool) {
    SendFromAnn("grandma@example.org", "far away");
    SendFromAnn("carol_03", "no such account yet");
    std::vector<std::string> recipients;
    for (const harbor::SpooledMail& mail : Office().Outgoing()) recipients.push_back(mail.recipient);
    EXPECT_EQ(recipients, (std::vector<std::string>{"grandma@example.org", "carol_03@wrenmail.local"}));

    ASSERT_EQ(Office().Accounts().Add("carol_03", "cherry"), AccountError::None);
    // Signing in delivers what now can be.
    EXPECT_EQ(FetchSubjects(SignedIn("carol_03", "cherry")), std::vector<std::string>{"no such account yet"});
    ASSERT_EQ(Office().Outgoing().size(), 1u);
    // Kite ID and domain are matched in any letter case: this one is local mail.
    SendFromAnn("BOB_02@WrenMail.LOCAL", "shouted");
    EXPECT_EQ(Office().Outgoing().size(), 1u);
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);
}

// A damaged message file does not hold its id; a name that is not a player ID is refused; a
// player ID in another letter case reaches the one InBox.
TEST_F(MailFixture, ADamagedMessageFileFreesItsIdAndOnlyPlayerIdsAreServedWhateverTheirCase) {
    std::string error;
    WriteFile(scratch_.Path() / "MailBoxes/Players/p7/InBox/WN2.wnl", "not a dictionary");
    EXPECT_TRUE(harbor::PlayerKnown(scratch_.Path(), "P7"));
    EXPECT_EQ(harbor::SaveToPlayerInbox(scratch_.Path(), "P7", "m", false, error), 2u) << error;
    EXPECT_EQ(harbor::SaveToPlayerInbox(scratch_.Path(), "../x", "m", false, error), 0u);
    EXPECT_FALSE(fs::exists(scratch_.Path() / "MailBoxes/Players/P7"));
}

TEST_F(PostOfficeTest, AccountsKeepHashesNotPasswords) {
    harbor::AccountBook& book = Office().Accounts();
    const std::string a31(31, 'a'), p31(31, 'p');
    for (const auto& [name, password, error] : std::vector<std::tuple<std::string, std::string, AccountError>>{
             {"bad-name", "x", AccountError::InvalidName}, {"", "x", AccountError::InvalidName},
             {a31 + "a", "x", AccountError::InvalidName}, {a31, "x", AccountError::None},
             {"Ann_01", "x", AccountError::Exists}, {"dan_04", "", AccountError::InvalidPassword},
             {"dan_04", p31 + "p", AccountError::InvalidPassword}, {"eve_05", p31, AccountError::None},
             {"dan_04", "two\nlines", AccountError::InvalidPassword}}) {
        EXPECT_EQ(book.Add(name, password), error) << name << "/" << password;
    }
    EXPECT_EQ(book.Names(), (std::vector<std::string>{"ann_01", "bob_02", a31, "eve_05"}));

    const std::string file = ReadFile(scratch_.Path() / ".postoffice" / "accounts");
    for (const char* password : {"apple", "banana"}) EXPECT_EQ(file.find(password), std::string::npos);
    EXPECT_NE(file.find("$argon2id$"), std::string::npos);
    const auto a = harbor::HashPassword("same", harbor::PasswordCost::Fast());
    const auto b = harbor::HashPassword("same", harbor::PasswordCost::Fast());
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);  // salted
    EXPECT_FALSE(harbor::PasswordMatches(*a, "Same"));
    EXPECT_FALSE(harbor::PasswordMatches("garbage", "same"));

    // Sign-in: the old password is refused, the new one taken in any letter case of the kite ID.
    // The right password's answer and no answer at all when the service cannot be reached are the
    // e2e sessions' (mail_between_accounts, signin_wrong_then_right and signin_offline fail without).
    EXPECT_EQ(book.SetPassword("ann_01", "plum"), AccountError::None);
    EXPECT_EQ(SignIn("ann_01", "apple").manager + SignIn("ann_01", "").manager, 0u);
    EXPECT_NE(SignIn("ANN_01", "plum").manager, 0u);
    EXPECT_EQ(book.SetPassword("nobody", "plum"), AccountError::Unknown);
    EXPECT_EQ(book.Remove("bob_02"), AccountError::None);
    EXPECT_EQ(book.Remove("bob_02"), AccountError::Unknown);
    EXPECT_EQ(SignIn("bob_02", "banana").status, harbor::kSignInRefused);
}

// The accounts file is read strictly: CRLF line ends work, and a line that is not an account is
// never listed as one, is reported with its line number and is kept through every rewrite.
TEST_F(PostOfficeTest, TheAccountsFileTakesCrlfAndKeepsLinesThatAreNotAccounts) {
    const fs::path file = scratch_.Path() / ".postoffice" / "accounts";
    const auto book = [&] { return harbor::AccountBook(file, harbor::PasswordCost::Fast(), false, scratch_.Path()); };
    std::string crlf;
    for (char c : ReadFile(file)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteFile(file, crlf);
    EXPECT_TRUE(book().Verify("ann_01", "apple"));
    EXPECT_TRUE(book().Verify("bob_02", "banana"));

    const std::size_t at = crlf.find("ann_01");
    const std::string ann = crlf.substr(at, crlf.find('\n', at) + 1 - at);
    WriteFile(file, crlf + "garbage\ncarol_03 not-a-hash\n../evil $argon2id$x\n" + ann);  // ann twice
    std::vector<std::string> problems;
    harbor::TraceLog::Instance().SetProblemSink([&](std::string_view line) { problems.emplace_back(line); });
    EXPECT_EQ(book().Names(), (std::vector<std::string>{"ann_01", "bob_02"}));
    harbor::TraceLog::Instance().SetProblemSink(nullptr);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_NE(problems[0].find("line 4: not an account (no password hash"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("line 5: not an account (not a password hash)"), std::string::npos) << problems[1];
    EXPECT_NE(problems[3].find("line 7: not an account (the kite ID is there already)"), std::string::npos);

    ASSERT_EQ(book().Add("dan_04", "date"), AccountError::None);  // used to drop the lines it could not read
    for (const char* kept : {"garbage\n", "carol_03 not-a-hash\n", "../evil $argon2id$x\n"}) {
        EXPECT_NE(ReadFile(file).find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(book().Names(), (std::vector<std::string>{"ann_01", "bob_02", "dan_04"}));
    EXPECT_TRUE(book().Verify("dan_04", "date"));
}

// A letter without a Date used to be listed as 01/01/70 (the mail corpus test shows the date the
// post office now gives it). The lines a letter lacks come first, in its own line ends; a letter
// that has them is stored as it came.
TEST_F(PostOfficeTest, ALetterGetsTheDateAndMessageIdItLacksInItsOwnLineEnds) {
    fs::create_directories(scratch_.Path() / "MailBoxes" / "Players" / "p7");
    const std::string dated =
        "From: bob@example.org\nDate: Mon, 4 Mar 2024 12:00:00 +0000\nMessage-ID: <x@y>\nSubject: dated\n\ntext\n";
    ASSERT_TRUE(Office().Submit("From: bob@example.org\r\nSubject: no date\r\n\r\ntext\r\n", {"p7"}));
    const std::string no_id = "From: bob@example.org\nDate: Mon, 4 Mar 2024 12:00:00 +0000\nSubject: no id\n\ntext\n";
    ASSERT_TRUE(Office().Submit(dated, {"p7"}));
    ASSERT_TRUE(Office().Submit(no_id, {"p7"}));
    ASSERT_EQ(Office().DeliverSpool(), 3u);
    std::string undated, kept, given_id;
    for (const auto& file : fs::directory_iterator(scratch_.Path() / "MailBoxes/Players/p7/InBox")) {
        const std::string text = StoredMessage(file.path());
        if (text.empty()) continue;
        if (text.find("no date") != std::string::npos) undated = text;
        else if (text.find("no id") != std::string::npos) given_id = text;
        else kept = text;
    }
    EXPECT_TRUE(given_id.starts_with("Message-ID: <")) << given_id;
    EXPECT_TRUE(given_id.ends_with(">\n" + no_id)) << given_id;
    EXPECT_TRUE(undated.starts_with("Date: ")) << undated;
    EXPECT_NE(undated.find("\r\nMessage-ID: <"), std::string::npos) << undated;
    EXPECT_TRUE(undated.ends_with("\r\nFrom: bob@example.org\r\nSubject: no date\r\n\r\ntext\r\n")) << undated;
    EXPECT_EQ(kept, dated);
}

TEST_F(MailFixture, TheDomainComesFromTheSettingsFile) {
    const fs::path settings = scratch_.Path() / "WNSettings.dct";
    EXPECT_EQ(harbor::MailDomainFromSettings(scratch_.Path()), harbor::kDefaultMailDomain);  // no file
    WriteFile(settings, "// family settings\n{ \"DOMAIN\": \"smiths.example\", \"SMTPPORT\": 587 }\n");
    EXPECT_EQ(harbor::MailDomainFromSettings(scratch_.Path()), "smiths.example");
    WriteFile(settings, "{ \"DOMAIN\": ");
    EXPECT_EQ(harbor::MailDomainFromSettings(scratch_.Path()), harbor::kDefaultMailDomain);  // damaged
}

// Every file under `dir` with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = ReadFile(e.path());
    }
    return files;
}

// The parameter is where the link is planted inside the data root.
class ConfinementTest : public MailFixture, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        outside_ = scratch_.Path().parent_path() / (scratch_.Path().filename().string() + "-outside");
        fs::create_directories(outside_);
        // What a waiting-mail link would hand out and then delete.
        WriteFile(outside_ / "0000000000000001.eml", "Subject: secret\n\nsecret\n");
        WriteFile(outside_ / "accounts", "# not ours\n");
    }
    void TearDown() override {
        service_.reset();  // before the outside folder goes
        fs::remove_all(outside_);
        MailFixture::TearDown();
    }
    fs::path outside_;
};

TEST_P(ConfinementTest, APlantedLinkLeavesEveryOutsideFileUntouched) {
    const fs::path root = scratch_.Path();
    fs::create_directories(root / "MailBoxes" / "Players" / "p7");
    fs::create_directories(root / ".postoffice" / "waiting");
    const fs::path link = root / GetParam();
    fs::remove_all(link);
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(outside_, link);
    const auto before = Snapshot(outside_);

    service_ = std::make_unique<harbor::MailService>(Options());
    harbor::PostOffice& office = *service_->Office();
    office.Accounts().Add("bob_02", "banana");
    office.Accounts().Add("ann_01", "apple");
    office.Submit("Subject: hi\n\nx\n", {"bob_02", "p9", "p7", "ann_01"});
    office.DeliverSpool();
    const uint32_t bob = SignIn("bob_02", "banana").manager;
    for (uint32_t m = Next(bob); m != 0; m = Next(bob)) {
        EXPECT_NE(GetText(m, "Subject"), "secret") << "an outside file was handed out";
        Free(m);
    }
    std::string error;
    harbor::WriteImportFile(root, {"p7", "gran", "hello", "text/plain", "body", 1}, error);
    harbor::SaveToPlayerInbox(root, "p9", "Subject: direct\n\nx\n", false, error);
    office.Accounts().Remove("ann_01");

    EXPECT_EQ(Snapshot(outside_), before);
}

INSTANTIATE_TEST_SUITE_P(HostileLinks, ConfinementTest,
                         ::testing::Values("MailBoxes/Players/p9", ".postoffice/waiting/bob_02", ".postoffice/spool",
                                           "Import", ".postoffice", "MailBoxes"));


// A crash after the copies reached their waiting mail but before the spool knew: the next start
// delivers the same letter again, and each account still has it once.
TEST_F(SpoolTest, ADeliveryRepeatedAfterACrashLandsOnce) {
    ASSERT_TRUE(Office().Submit("Subject: once\n\nx\n", {"ann_01", "bob_02"}));
    const std::string entry = Office().Spool().Entries().at(0);
    fs::copy_file(SpoolDir() / entry, scratch_.Path() / "spooled");
    ASSERT_EQ(Office().DeliverSpool(), 1u);
    ASSERT_TRUE(Office().Spool().Entries().empty());
    fs::copy_file(scratch_.Path() / "spooled", SpoolDir() / entry);  // as if the removal never happened

    Restart();  // delivers the spool at its start
    EXPECT_TRUE(Office().Spool().Entries().empty());
    EXPECT_EQ(Office().WaitingCount("ann_01"), 1u);
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);

    // A waiting entry of the same number holding another letter is not taken for this one.
    ASSERT_TRUE(Office().Submit("Subject: other\n\ny\n", {"ann_01"}));
    Office().DeliverSpool();
    EXPECT_EQ(Office().WaitingCount("ann_01"), 2u);
}

// While one recipient keeps a letter in the spool, each later pass skips those it reached: a
// player's InBox, unlike an account's waiting mail, would take a second copy.
TEST_F(SpoolTest, APlayerGetsOneCopyWhileAnotherRecipientWaits) {
    fs::create_directories(scratch_.Path() / "MailBoxes/Players/p7");
    ASSERT_TRUE(Office().Submit("Subject: once\n\nx\n", {"p7", "carol_03"}));
    Office().DeliverSpool();
    Office().DeliverSpool();
    EXPECT_EQ(Office().Spool().Entries().size(), 1u);
    std::size_t copies = 0;
    for (const auto& file : fs::directory_iterator(scratch_.Path() / "MailBoxes/Players/p7/InBox")) {
        copies += file.path().extension() == ".wnl" ? 1 : 0;
    }
    EXPECT_EQ(copies, 1u);
}

TEST_F(SpoolTest, AFileSpooledInTheOlderFormStillDelivers) {
    WriteFile(SpoolDir() / "0000000000000007.eml", "bob_02@wrenmail.local\nSubject: from before\n\nold\n");
    Restart();
    EXPECT_EQ(Office().DeliverSpool(), 0u) << "delivered at the start already";
    EXPECT_TRUE(Office().Spool().Entries().empty());
    EXPECT_EQ(FetchSubjects(SignedIn("bob_02", "banana")), std::vector<std::string>{"from before"});
}

TEST_F(SpoolTest, AFetchedMessageIsHeldAndRecoverPutsItBack) {
    ASSERT_TRUE(Office().Submit("Subject: keep me\n\nx\n", {"ann_01"}));
    Office().DeliverSpool();
    ASSERT_EQ(FetchSubjects(SignedIn("ann_01", "apple")).size(), 1u);  // stored by the module: acknowledged
    EXPECT_EQ(Office().WaitingCount("ann_01"), 0u);

    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Path());
    ASSERT_EQ(held.size(), 1u);
    ASSERT_EQ(held[0].path.size(), 4u);
    EXPECT_EQ(held[0].path[2], "ann_01");
    std::string error;
    ASSERT_TRUE(harbor::RestoreHeld(scratch_.Path(), held[0].id, error)) << error;
    Restart();
    EXPECT_EQ(FetchSubjects(SignedIn("ann_01", "apple")), std::vector<std::string>{"keep me"});
}

// A crash between the module's store and its free: the next start finds the message in the
// InBox and does not hand it out a second time; one not stored is handed out again.
TEST_F(SpoolTest, AMessageStoredBeforeACrashIsNotFetchedTwice) {
    ASSERT_TRUE(Office().Submit("Subject: stored\n\nx\n", {"ann_01"}));
    ASSERT_TRUE(Office().Submit("Subject: not stored\n\ny\n", {"ann_01"}));
    Office().DeliverSpool();
    const uint32_t ann = SignedIn("ann_01", "apple");
    const uint32_t stored = Next(ann);
    ASSERT_NE(Next(ann), 0u);
    WriteFile(scratch_.Path() / "MailBoxes/kiteAccounts/Ann_01/InBox/WN4.wnl",
              "header" + GetText(stored, "Data").value() + "trailer");

    Restart();  // no free came: both are still waiting
    EXPECT_EQ(Office().WaitingCount("ann_01"), 2u);
    EXPECT_EQ(FetchSubjects(SignedIn("ann_01", "apple"), false), std::vector<std::string>{"not stored"});
    EXPECT_EQ(Office().WaitingCount("ann_01"), 1u);
}

// The module deletes an OutBox file only after Success: a crash in between makes it send the
// same letter at the next start. It is answered Success and not spooled again; once the round
// has ended (the account fetches), the same text is a new letter.
TEST_F(SpoolTest, ALetterSentAgainAfterACrashIsDeliveredOnce) {
    auto send = [](uint32_t manager) {
        // As the module sends an OutBox file: a message made from the stored text.
        return Send(manager, NewMessage("From: ann_01\nTo: bob_02\nSubject: once\n\nhello\n"));
    };
    ASSERT_TRUE(send(SignIn("ann_01", "apple").manager));
    Restart();
    const uint32_t ann = SignIn("ann_01", "apple").manager;
    EXPECT_TRUE(send(ann));
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);
    EXPECT_EQ(Next(ann), 0u);  // the round ends
    EXPECT_TRUE(send(ann));
    EXPECT_EQ(Office().WaitingCount("bob_02"), 2u);
    Restart();
    EXPECT_TRUE(send(SignIn("ann_01", "apple").manager));
    EXPECT_EQ(Office().WaitingCount("bob_02"), 2u) << "the letter of the unfinished round";
}

// The crash came after the letter was spooled but before the guard noted it: the mark on the
// spooled letter is read back at the next start.
TEST_F(SpoolTest, ALetterSpooledButNotNotedBeforeACrashIsDeliveredOnce) {
    const char* text = "From: ann_01\nTo: bob_02\nSubject: marked\n\nhello\n";
    const std::string letter = mime::Serialise(GMIME_OBJECT(mime::MessageFromText(text).get()));
    Office().MarkNextSubmit(harbor::ResendGuard(scratch_.Path(), false).MarkOf("ann_01", letter));
    ASSERT_TRUE(Office().Submit(text, {"bob_02"}));
    Restart();
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);
    EXPECT_TRUE(Send(SignIn("ann_01", "apple").manager, NewMessage(text)));
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);
}

// One letter to 10,001 addresses became 10,000 spool copies (2.4 GB).
TEST_F(SpoolTest, ALetterGoesToAtMostAHundredRecipients) {
    std::vector<std::string> many;
    for (int i = 0; i < 101; ++i) many.push_back("friend" + std::to_string(i) + "@example.org");
    EXPECT_FALSE(Office().Submit("Subject: party\n\nx\n", many));
    EXPECT_TRUE(Office().Spool().Entries().empty());
    many.pop_back();
    EXPECT_TRUE(Office().Submit("Subject: party\n\nx\n", many));
    EXPECT_EQ(Office().Spool().Entries().size(), 1u) << "one spooled copy for all its recipients";
    EXPECT_EQ(Office().Outgoing().size(), 100u);
}

TEST_F(SpoolTest, MailForAnIdNobodyHasComesBackToTheSender) {
    ASSERT_TRUE(Office().Submit("From: ann_01@wrenmail.local\nTo: nobody_9@wrenmail.local\nSubject: hello\n\nhi\n",
                                {"nobody_9@wrenmail.local"}));
    Office().DeliverSpool();
    ASSERT_EQ(Office().Spool().Entries().size(), 1u) << "waits a while: the account may be made meanwhile";
    EXPECT_EQ(Office().WaitingCount("ann_01"), 0u);

    const fs::path spooled = SpoolDir() / Office().Spool().Entries()[0];
    fs::last_write_time(spooled, fs::file_time_type::clock::now() - std::chrono::hours(24 * 4));
    Office().DeliverSpool();
    EXPECT_TRUE(Office().Spool().Entries().empty());
    const uint32_t back = Next(SignIn("ann_01", "apple").manager);
    ASSERT_NE(back, 0u);
    EXPECT_EQ(GetText(back, "Subject"), "Could not be delivered: hello");
    EXPECT_EQ(GetText(back, "To"), "ann_01");
    EXPECT_NE(GetText(back, "Body").value_or("").find("nobody has that ID on this computer"), std::string::npos);
}

// Two processes on one data root each read the queue's counter once at start; a rename replaced
// what had the name, and 7 to 13 of 16 letters arrived.
TEST(QueueNamesTest, TwoWritersOfOneQueueNeverReplaceEachOthersMail) {
    TempDir scratch;
    harbor::MailQueue first(scratch.Path() / "spool", false);
    harbor::MailQueue second(scratch.Path() / "spool", false);  // started together: the same counter
    for (int i = 0; i < 8; ++i) {
        first.Put("from the first " + std::to_string(i));
        second.Put("from the second " + std::to_string(i));
    }
    ASSERT_EQ(first.Entries().size(), 16u);
    int from_second = 0;
    for (const std::string& entry : first.Entries()) {
        std::string text;
        ASSERT_TRUE(first.Read(entry, text));
        from_second += text.starts_with("from the second") ? 1 : 0;
    }
    EXPECT_EQ(from_second, 8);
}

// A planted entry with the largest 16-digit number made the next names 17 digits long: the
// letters were written but no listing took them for entries (a letter sent was never delivered).
TEST(QueueNamesTest, AnEntryWithTheLargestNumberDoesNotHideTheNextOnes) {
    TempDir scratch;
    WriteFile(scratch.Path() / "spool" / "9999999999999998.eml", "planted");
    harbor::MailQueue queue(scratch.Path() / "spool", false);
    for (const char* text : {"one", "two", "three"}) EXPECT_FALSE(queue.Put(text).empty());
    EXPECT_EQ(queue.Entries().size(), 4u);
    for (const auto& file : fs::directory_iterator(scratch.Path() / "spool")) EXPECT_EQ(file.path().filename().string().size(), 20u);
}

// Two letters wait for ann; the session's file service notes what the module stored.
class FullDiskTest : public SpoolTest {
protected:
    void SetUp() override {
        SpoolTest::SetUp();
        for (const char* text : {"Subject: one\n\nx\n", "Subject: two\n\ny\n"}) ASSERT_TRUE(Office().Submit(text, {"ann_01"}));
        Office().DeliverSpool();
        StoredMessages::Instance().SetWatching(true);
    }
    void TearDown() override {
        StoredMessages::Instance().SetWatching(false);
        harbor::TraceLog::Instance().SetProblemSink(nullptr);
        SpoolTest::TearDown();
    }
    void RestartWithFree(uint64_t free_bytes) {
        harbor::MailServiceOptions options = Options();
        options.free_bytes = [free_bytes] { return free_bytes; };
        options.notice = [this](const std::string& text) { notices_.push_back(text); };
        Restart(options);
    }
    std::vector<std::string> notices_;
};

// The module frees what it fetched even when storing it failed (4 MiB file system: 5 of 5
// waiting messages left the post office, the InBox got empty files).
TEST_F(FullDiskTest, AFetchedMessageWhoseStoreFailedStaysWaiting) {
    const uint32_t ann = SignedIn("ann_01", "apple");
    const uint32_t first = Next(ann);
    const uint32_t second = Next(ann);
    ASSERT_TRUE(first != 0 && second != 0);
    StoredMessages::Instance().NoteStored(GetText(first, "Data").value());  // only the first reached the disk
    Free(first);
    Free(second);
    EXPECT_EQ(Next(ann), 0u) << "not handed out again in this run: the get-mail chain must end";
    EXPECT_EQ(Office().WaitingCount("ann_01"), 1u);
    Restart();
    EXPECT_EQ(FetchSubjects(SignedIn("ann_01", "apple")), std::vector<std::string>{"two"});
}

TEST_F(FullDiskTest, NoMailMovesWhileTheDiskCannotTakeTheWaitingMail) {
    std::vector<std::string> problems;
    harbor::TraceLog::Instance().SetProblemSink([&](std::string_view line) { problems.emplace_back(line); });
    RestartWithFree(harbor::kDiskMargin);  // the margin alone: not enough for the waiting mail
    const SignInAnswer refused = SignIn("ann_01", "apple");
    EXPECT_EQ(refused.manager, 0u);
    EXPECT_FALSE(refused.status.has_value()) << "the module sees the service unreachable";
    EXPECT_FALSE(refused.success.has_value());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("the disk is full"), std::string::npos) << problems[0];
    EXPECT_EQ(notices_, std::vector<std::string>{harbor::kDiskFullNotice});
    EXPECT_EQ(Office().WaitingCount("ann_01"), 2u);

    RestartWithFree(harbor::kDiskMargin + (uint64_t{1} << 20));
    EXPECT_EQ(SignIn("ann_01", "apple").status, harbor::kSignInAccepted);
}

TEST(StoredMessagesTest, RemembersTheLatestTextsOnly) {
    StoredMessages& stored = StoredMessages::Instance();
    stored.SetWatching(true);
    stored.NoteStored("first");
    EXPECT_TRUE(stored.WasStored("first"));
    EXPECT_FALSE(stored.WasStored("firs"));
    for (std::size_t i = 0; i < StoredMessages::kRemembered; ++i) stored.NoteStored("other " + std::to_string(i));
    EXPECT_FALSE(stored.WasStored("first"));
    EXPECT_TRUE(stored.WasStored("other 5"));
    stored.SetWatching(false);
    EXPECT_FALSE(stored.WasStored("other 5"));
}

class MailCommandsTest : public MailFixture {
protected:
    int Run(std::vector<std::string> args, const std::string& input = "") {
        std::istringstream in(input);
        out_.str("");
        err_.str("");
        harbor::MailCommandContext context(in, out_, err_);
        context.default_data = scratch_.Path();
        context.password_cost = harbor::PasswordCost::Fast();
        context.now = 1700000000;
        return harbor::RunMailCommand(args, context).value_or(-1);
    }
    harbor::AccountBook Book() const {
        return harbor::AccountBook(scratch_.Path() / ".postoffice" / "accounts", harbor::PasswordCost::Fast(), false);
    }
    std::vector<fs::path> ImportFiles() const {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(scratch_.Path() / "Import")) files.push_back(e.path());
        return files;
    }
    // The import file as the module reads it: text values of its top-level dictionary.
    static std::string TextOf(const harbor::DataDict& dict, const char* key) {
        const HostValue* value = harbor_test::Lookup(dict.Root(), key);
        if (value == nullptr) return "<missing>";
        return value->type == HostValueInteger ? std::to_string(value->payload) : harbor_test::TextOf(value);
    }

    std::ostringstream out_, err_;
};

TEST_F(MailCommandsTest, AccountsAreAddedChangedListedAndRemoved) {
    EXPECT_EQ(Run({"account", "add", "ann_01"}, "apple\n"), 0) << err_.str();
    EXPECT_TRUE(Book().Verify("ann_01", "apple"));
    EXPECT_EQ(Run({"account", "add", "ann_01"}, "again\n"), 1);
    EXPECT_EQ(Run({"account", "passwd", "ann_01"}, "pear\r\n"), 0);
    EXPECT_TRUE(Book().Verify("ann_01", "pear"));
    EXPECT_EQ(Run({"account", "passwd", "nobody"}, "pear\n"), 1);
    EXPECT_EQ(Run({"account", "add", "bob_02"}, ""), 1);  // no password given
    EXPECT_EQ(Run({"account", "remove", "ann_01", "--delete-mail"}), 0);
    EXPECT_EQ(Run({"account", "list"}), 0);
    EXPECT_EQ(out_.str(), "no accounts\n");
}

TEST_F(MailCommandsTest, BadNamesAndUsageAreRefused) {
    EXPECT_EQ(Run({"account", "add", "ann.01"}, "apple\n"), 1);
    EXPECT_EQ(Run({"account", "add"}), 2);
    EXPECT_EQ(Run({"account", "rename", "a", "b"}), 2);
    EXPECT_EQ(Run({"account"}), 2);
    EXPECT_TRUE(Book().Names().empty());
    EXPECT_EQ(Run({"script"}), -1);  // not a mail command
}

// An accounts file grown past what is read (a long note pasted in) read as no accounts, and
// `account add` then wrote a file holding the new account alone: every other account was gone.
TEST_F(MailCommandsTest, AnAccountsFileThatCannotBeReadIsNeverRewritten) {
    ASSERT_EQ(Run({"account", "add", "ann_01"}, "apple\n"), 0);
    const fs::path file = scratch_.Path() / ".postoffice" / "accounts";
    const std::string grown = ReadFile(file) + "# " + std::string(std::size_t{17} << 20, 'x') + "\n";
    WriteFile(file, grown);
    EXPECT_EQ(Run({"account", "add", "bob_02"}, "banana\n"), 1);
    EXPECT_NE(err_.str().find("accounts file " + file.string() + " cannot be read (too large)"), std::string::npos) << err_.str();
    EXPECT_EQ(Run({"account", "list"}), 1);
    EXPECT_EQ(Book().Add("bob_02", "banana"), AccountError::Unreadable);
    EXPECT_EQ(Book().Remove("ann_01"), AccountError::Unreadable);
    EXPECT_TRUE(ReadFile(file) == grown);
}

TEST_F(MailCommandsTest, ListShowsWaitingAndOutgoingMail) {
    ASSERT_EQ(Run({"account", "add", "bob_02"}, "banana\n"), 0);
    harbor::PostOffice office({scratch_.Path(), "wrenmail.local", harbor::PasswordCost::Fast(), false});
    ASSERT_TRUE(office.Submit("Subject: a\n\nx\n", {"bob_02@wrenmail.local", "gran@example.org"}));
    office.DeliverSpool();
    EXPECT_EQ(Run({"account", "list"}), 0);
    EXPECT_EQ(out_.str(), "bob_02  (1 waiting)\n1 outgoing, kept until a mail server is set up:\n  to gran@example.org\n");
    EXPECT_EQ(Run({"account", "remove", "bob_02", "--keep-mail"}), 0);
    EXPECT_EQ(office.WaitingCount("bob_02"), 0u);
}

TEST_F(MailCommandsTest, ImportWritesADataDictionaryTheModuleCanRead) {
    const fs::path mail = scratch_.Path() / "note.eml";
    WriteFile(mail, "From: ann_01@wrenmail.local\nSubject: @home\nDate: Tue, 14 Nov 2023 22:13:20 +0000\n\n"
                    "Hi \"p7\"\\ é\n");
    ASSERT_EQ(Run({"import", "--player", "p7", mail.string()}), 0) << err_.str();
    ASSERT_EQ(Run({"import", "--player=p7", "--subject", "typed", "--type", "text/wrenmail", "-"}, "<b>x</b>"), 0);
    const auto files = ImportFiles();
    ASSERT_EQ(files.size(), 2u);
    harbor::DataDictResult first = harbor::LoadDataDictFile(files[0]);
    harbor::DataDictResult second = harbor::LoadDataDictFile(files[1]);
    ASSERT_TRUE(first) << first.error;
    ASSERT_TRUE(second) << second.error;
    if (TextOf(*first.dict, "SUBJECT") != "@home") std::swap(first, second);
    // A typed text is from whoever imported it.
    for (const auto& [dict, key, value] : std::vector<std::tuple<harbor::DataDict*, const char*, std::string>>{
             {first.dict.get(), "TO", "p7"}, {first.dict.get(), "FROM", "ann_01"}, {first.dict.get(), "SUBJECT", "@home"},
             {first.dict.get(), "DATE", "1700000000"},
             {first.dict.get(), "MAILTYPE", "text/plain"}, {first.dict.get(), "MESSAGE", "Hi \"p7\"\\ é\n"},
             {second.dict.get(), "MESSAGE", "<b>x</b>"}, {second.dict.get(), "MAILTYPE", "text/wrenmail"},
             {second.dict.get(), "FROM", harbor::PlainImportSender()}}) {
        EXPECT_EQ(TextOf(*dict, key), value) << key;
    }
}

TEST_F(MailCommandsTest, ImportRefusesWhatTheModuleCannotTake) {
    EXPECT_EQ(Run({"import", "-"}, "x"), 2);                          // no player
    EXPECT_EQ(Run({"import", "--player", "p7"}), 2);                 // no file
    EXPECT_EQ(Run({"import", "--player", "p7", "--colour", "red", "-"}, "x"), 2);
    EXPECT_EQ(Run({"import", "--player", "p7", "--date", "-1", "-"}, "x"), 2);
    EXPECT_EQ(Run({"import", "--player", "../p7", "-"}, "x"), 1);
    EXPECT_EQ(Run({"import", "--player", "p7", "--subject", std::string(128, 's'), "-"}, "x"), 1);
    EXPECT_EQ(Run({"import", "--player", "p7", "/no/such/file"}), 1);
    EXPECT_FALSE(fs::exists(scratch_.Path() / "Import") && !ImportFiles().empty());
}

}  // namespace
