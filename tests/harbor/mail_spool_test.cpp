// The spool keeps one copy of a letter for at most a hundred recipients and reaches each of them
// once, across restarts and crashes; mail for a kite ID nobody has goes back to its sender;
// fetched mail is held for `harbor recover`; a full disk loses no mail and is said in Harbor's
// own words.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/trace_log.h"
#include "fileio/held_files.h"
#include "fileio/stored_messages.h"
#include "mail/mime_message.h"
#include "mail/resend_guard.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
using harbor::StoredMessages;
namespace mime = harbor::mime;
namespace fs = std::filesystem;

class SpoolTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        Restart();
        ASSERT_EQ(Office().Accounts().Add("ann_01", "apple"), harbor::AccountError::None);
        ASSERT_EQ(Office().Accounts().Add("bob_02", "pear"), harbor::AccountError::None);
    }
    fs::path SpoolDir() const { return scratch_.Path() / ".postoffice" / "spool"; }
};

TEST_F(SpoolTest, OneCopyReachesEachRecipientOnceAndKeepsOnlyThoseNotReached) {
    ASSERT_TRUE(Office().Submit("Subject: kites\n\nfly\n", {"ann_01", "BOB_02@wrenmail.local", "gran@example.org"}));
    ASSERT_EQ(Office().Spool().Entries().size(), 1u);
    EXPECT_EQ(Office().DeliverSpool(), 0u) << "gran's copy cannot go anywhere yet";
    EXPECT_EQ(Office().WaitingCount("ann_01"), 1u);
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);
    const std::vector<harbor::SpooledMail> left = Office().Outgoing();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].recipient, "gran@example.org");

    Restart();  // every start retries the spool: those already reached get nothing more
    Office().DeliverSpool();
    EXPECT_EQ(Office().WaitingCount("ann_01"), 1u);
    EXPECT_EQ(Office().WaitingCount("bob_02"), 1u);
    EXPECT_EQ(Office().Spool().Entries().size(), 1u);
}

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

TEST_F(SpoolTest, AFileSpooledInTheOlderFormStillDelivers) {
    harbor_test::WriteFile(SpoolDir() / "0000000000000007.eml", "bob_02@wrenmail.local\nSubject: from before\n\nold\n");
    Restart();
    EXPECT_EQ(Office().DeliverSpool(), 0u) << "delivered at the start already";
    EXPECT_TRUE(Office().Spool().Entries().empty());
    EXPECT_EQ(FetchSubjects(SignedIn("bob_02", "pear")), std::vector<std::string>{"from before"});
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
    harbor_test::WriteFile(scratch_.Path() / "MailBoxes/kiteAccounts/Ann_01/InBox/WN4.wnl",
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
    std::vector<std::string> names;
    for (int i = 0; i < 8; ++i) {
        names.push_back(first.Put("from the first " + std::to_string(i)));
        names.push_back(second.Put("from the second " + std::to_string(i)));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    EXPECT_EQ(std::count(names.begin(), names.end(), std::string()), 0);
    ASSERT_EQ(first.Entries().size(), 16u);
    int from_second = 0;
    for (const std::string& entry : first.Entries()) {
        std::string text;
        ASSERT_TRUE(first.Read(entry, text));
        from_second += text.starts_with("from the second") ? 1 : 0;
    }
    EXPECT_EQ(from_second, 8);
}

// Two letters wait for ann; the session's file service notes what the module stored.
class FullDiskTest : public SpoolTest {
protected:
    void SetUp() override {
        SpoolTest::SetUp();
        ASSERT_TRUE(Office().Submit("From: gran@example.org\nSubject: one\n\nx\n", {"ann_01"}));
        ASSERT_TRUE(Office().Submit("From: gran@example.org\nSubject: two\n\ny\n", {"ann_01"}));
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
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
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

}  // namespace
