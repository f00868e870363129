// A full disk loses no mail: a fetched message whose store failed stays waiting, and no mail
// moves at all while the disk cannot take the waiting mail.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fileio/stored_messages.h"
#include "mail/mail_domain.h"
#include "mail_test_support.h"
#include "base/trace_log.h"

namespace {

using namespace mailtest;
using harbor::StoredMessages;

class FullDiskTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        Restart();
        ASSERT_EQ(service_->Office()->Accounts().Add("ann_01", "apple"), harbor::AccountError::None);
        ASSERT_TRUE(service_->Office()->Submit("From: gran@example.org\nSubject: one\n\nx\n", {"ann_01"}));
        ASSERT_TRUE(service_->Office()->Submit("From: gran@example.org\nSubject: two\n\ny\n", {"ann_01"}));
        service_->Office()->DeliverSpool();
        StoredMessages::Instance().SetWatching(true);  // as when the session's file service is attached
    }
    void TearDown() override {
        StoredMessages::Instance().SetWatching(false);
        harbor::TraceLog::Instance().SetProblemSink(nullptr);
        MailFixture::TearDown();
    }
    void Restart(uint64_t free_bytes = UINT64_MAX) {
        harbor::MailServiceOptions options = Options();
        options.free_bytes = [free_bytes] { return free_bytes; };
        MailFixture::Restart(options);
    }
};

// The module frees what it fetched even when storing it failed (4 MiB file system: 5 of 5
// waiting messages left the post office, the InBox got empty files).
TEST_F(FullDiskTest, AFetchedMessageWhoseStoreFailedStaysWaiting) {
    const uint32_t ann = SignIn("ann_01", "apple").manager;
    ASSERT_NE(ann, 0u);
    const uint32_t first = Next(ann);
    const uint32_t second = Next(ann);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    StoredMessages::Instance().NoteStored(GetText(first, "Data").value());  // only the first reached the disk
    Free(first);
    Free(second);
    EXPECT_EQ(Next(ann), 0u) << "not handed out again in this run: the get-mail chain must end";
    EXPECT_EQ(service_->Office()->WaitingCount("ann_01"), 1u);
    Restart();
    const uint32_t again = Next(SignIn("ann_01", "apple").manager);
    EXPECT_EQ(GetText(again, "Subject"), "two");
}

TEST_F(FullDiskTest, NoMailMovesWhileTheDiskCannotTakeTheWaitingMail) {
    std::vector<std::string> problems;
    harbor::TraceLog::Instance().SetProblemSink([&](std::string_view line) { problems.emplace_back(line); });
    Restart(harbor::kDiskMargin);  // the margin alone: not enough for the waiting mail
    const SignInAnswer refused = SignIn("ann_01", "apple");
    EXPECT_EQ(refused.manager, 0u);
    EXPECT_FALSE(refused.status.has_value()) << "answered as unreachable";
    EXPECT_FALSE(refused.success.has_value());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("the disk is full"), std::string::npos) << problems[0];
    EXPECT_EQ(service_->Office()->WaitingCount("ann_01"), 2u);

    Restart(harbor::kDiskMargin + (uint64_t{1} << 20));
    const SignInAnswer accepted = SignIn("ann_01", "apple");
    EXPECT_NE(accepted.manager, 0u);
    EXPECT_EQ(accepted.status, harbor::kSignInAccepted);
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
