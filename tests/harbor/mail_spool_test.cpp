// The spool keeps one copy of a letter for all its recipients and reaches each of them once,
// across restarts and crashes; fetched mail is held for `harbor recover`; a full disk is said in
// Harbor's own words.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fileio/held_files.h"
#include "mail/mime_message.h"
#include "mail/resend_guard.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
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
    fs::create_directories(SpoolDir());
    std::ofstream(SpoolDir() / "0000000000000007.eml") << "bob_02@wrenmail.local\nSubject: from before\n\nold\n";
    Restart();
    EXPECT_EQ(Office().DeliverSpool(), 0u) << "delivered at the start already";
    EXPECT_TRUE(Office().Spool().Entries().empty());
    const uint32_t bob = SignIn("bob_02", "pear").manager;
    const uint32_t old = Next(bob);
    ASSERT_NE(old, 0u);
    EXPECT_EQ(GetText(old, "Subject"), "from before");
}

TEST_F(SpoolTest, AFetchedMessageIsHeldAndRecoverPutsItBack) {
    ASSERT_TRUE(Office().Submit("Subject: keep me\n\nx\n", {"ann_01"}));
    Office().DeliverSpool();
    const uint32_t ann = SignIn("ann_01", "apple").manager;
    const uint32_t fetched = Next(ann);
    ASSERT_NE(fetched, 0u);
    Free(fetched);  // stored by the module: acknowledged
    EXPECT_EQ(Office().WaitingCount("ann_01"), 0u);

    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Path());
    ASSERT_EQ(held.size(), 1u);
    ASSERT_EQ(held[0].path.size(), 4u);
    EXPECT_EQ(held[0].path[2], "ann_01");
    std::string error;
    ASSERT_TRUE(harbor::RestoreHeld(scratch_.Path(), held[0].id, error)) << error;
    Restart();
    const uint32_t again = Next(SignIn("ann_01", "apple").manager);
    ASSERT_NE(again, 0u);
    EXPECT_EQ(GetText(again, "Subject"), "keep me");
}

// A crash between the module's store and its free: the next start finds the message in the
// InBox and does not hand it out a second time; one not stored is handed out again.
TEST_F(SpoolTest, AMessageStoredBeforeACrashIsNotFetchedTwice) {
    ASSERT_TRUE(Office().Submit("Subject: stored\n\nx\n", {"ann_01"}));
    ASSERT_TRUE(Office().Submit("Subject: not stored\n\ny\n", {"ann_01"}));
    Office().DeliverSpool();
    const uint32_t ann = SignIn("ann_01", "apple").manager;
    const uint32_t stored = Next(ann);
    ASSERT_NE(Next(ann), 0u);
    const fs::path inbox = scratch_.Path() / "MailBoxes" / "kiteAccounts" / "Ann_01" / "InBox";
    fs::create_directories(inbox);
    std::ofstream(inbox / "WN4.wnl") << "header" << GetText(stored, "Data").value() << "trailer";

    Restart();  // no free came: both are still waiting
    EXPECT_EQ(Office().WaitingCount("ann_01"), 2u);
    const uint32_t again = SignIn("ann_01", "apple").manager;
    const uint32_t next = Next(again);
    ASSERT_NE(next, 0u);
    EXPECT_EQ(GetText(next, "Subject"), "not stored");
    EXPECT_EQ(Next(again), 0u);
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

TEST_F(SpoolTest, AFullDiskIsSaidInHarborsOwnWords) {
    ASSERT_TRUE(Office().Submit("Subject: big\n\nx\n", {"ann_01"}));
    harbor::MailServiceOptions options = Options();
    options.free_bytes = [] { return uint64_t{0}; };
    std::vector<std::string> notices;
    options.notice = [&notices](const std::string& text) { notices.push_back(text); };
    Restart(options);
    const SignInAnswer answer = SignIn("ann_01", "apple");
    EXPECT_EQ(answer.manager, 0u);
    EXPECT_FALSE(answer.status.has_value()) << "the module still sees the service unreachable";
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], harbor::kDiskFullNotice);
}

}  // namespace
