// Limits of the post office: at most 100 recipients per letter, and mail for a kite ID nobody
// has goes back to its sender as a friendly letter instead of waiting forever.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "mail_test_support.h"

namespace {

using namespace mailtest;

class LimitsTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        Restart();
        ASSERT_EQ(Office().Accounts().Add("ann_01", "apple"), harbor::AccountError::None);
    }
};

// One letter to 10,001 addresses became 10,000 spool copies (2.4 GB).
TEST_F(LimitsTest, ALetterGoesToAtMostAHundredRecipients) {
    std::vector<std::string> many;
    for (int i = 0; i < 101; ++i) many.push_back("friend" + std::to_string(i) + "@example.org");
    EXPECT_FALSE(Office().Submit("Subject: party\n\nx\n", many));
    EXPECT_TRUE(Office().Spool().Entries().empty());
    many.pop_back();
    EXPECT_TRUE(Office().Submit("Subject: party\n\nx\n", many));
    EXPECT_EQ(Office().Spool().Entries().size(), 1u) << "one spooled copy for all its recipients";
    EXPECT_EQ(Office().Outgoing().size(), 100u);
}

TEST_F(LimitsTest, MailForAnIdNobodyHasComesBackToTheSender) {
    ASSERT_TRUE(Office().Submit("From: ann_01@wrenmail.local\nTo: nobody_9@wrenmail.local\nSubject: hello\n\nhi\n",
                                {"nobody_9@wrenmail.local"}));
    Office().DeliverSpool();
    ASSERT_EQ(Office().Spool().Entries().size(), 1u) << "waits a while: the account may be made meanwhile";
    EXPECT_EQ(Office().WaitingCount("ann_01"), 0u);

    const auto spooled = scratch_.Path() / ".postoffice" / "spool" / Office().Spool().Entries()[0];
    std::filesystem::last_write_time(spooled, std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 4));
    Office().DeliverSpool();
    EXPECT_TRUE(Office().Spool().Entries().empty());
    const uint32_t ann = SignIn("ann_01", "apple").manager;
    const uint32_t back = Next(ann);
    ASSERT_NE(back, 0u);
    EXPECT_EQ(GetText(back, "Subject"), "Could not be delivered: hello");
    EXPECT_EQ(GetText(back, "To"), "ann_01");
    EXPECT_NE(GetText(back, "Body").value_or("").find("nobody has that ID on this computer"), std::string::npos);
}

}  // namespace

namespace {

// Two processes on one data root each read the queue's counter once at start; a rename replaced
// what had the name, and 7 to 13 of 16 letters arrived.
TEST(QueueNamesTest, TwoWritersOfOneQueueNeverReplaceEachOthersMail) {
    mailtest::ScratchDir scratch;
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

}  // namespace
