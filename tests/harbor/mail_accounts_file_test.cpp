// The accounts file read strictly: CRLF line ends work, a line that is not an account is never
// listed as one, reported with its line number, and kept through every rewrite.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "mail/account_book.h"
#include "mail_test_support.h"
#include "base/trace_log.h"

namespace {

using namespace mailtest;
using harbor::AccountBook;
using harbor::AccountError;

class AccountsFileTest : public MailFixture {
protected:
    std::filesystem::path File() const { return scratch_.Path() / ".postoffice" / "accounts"; }
    AccountBook Book() const { return AccountBook(File(), harbor::PasswordCost::Fast(), false, scratch_.Path()); }
    std::string Text() const {
        std::ifstream in(File(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void TearDown() override {
        harbor::TraceLog::Instance().SetProblemSink(nullptr);
        MailFixture::TearDown();
    }
};

TEST_F(AccountsFileTest, CrlfLineEndsKeepEveryPasswordRight) {
    ASSERT_EQ(Book().Add("ann_01", "apple"), AccountError::None);
    ASSERT_EQ(Book().Add("bob_02", "banana"), AccountError::None);
    std::string text = Text();
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::ofstream(File(), std::ios::binary) << crlf;
    EXPECT_TRUE(Book().Verify("ann_01", "apple"));
    EXPECT_TRUE(Book().Verify("bob_02", "banana"));
    EXPECT_EQ(Book().Names(), (std::vector<std::string>{"ann_01", "bob_02"}));
}

TEST_F(AccountsFileTest, LinesThatAreNotAccountsAreReportedAndKept) {
    ASSERT_EQ(Book().Add("ann_01", "apple"), AccountError::None);
    const std::string ann = Text().substr(Text().find("ann_01"));
    std::ofstream(File(), std::ios::app) << "garbage\n"
                                         << "carol_03 not-a-hash\n"
                                         << "../evil $argon2id$x\n"
                                         << ann;  // the same kite ID twice
    std::vector<std::string> problems;
    harbor::TraceLog::Instance().SetProblemSink([&](std::string_view line) { problems.emplace_back(line); });
    EXPECT_EQ(Book().Names(), std::vector<std::string>{"ann_01"});
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_NE(problems[0].find("line 3: not an account (no password hash"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("line 4: not an account (not a password hash)"), std::string::npos) << problems[1];
    EXPECT_NE(problems[3].find("line 6: not an account (the kite ID is there already)"), std::string::npos);

    // account add used to drop the lines it could not read
    ASSERT_EQ(Book().Add("dan_04", "date"), AccountError::None);
    const std::string after = Text();
    for (const char* kept : {"garbage\n", "carol_03 not-a-hash\n", "../evil $argon2id$x\n"}) {
        EXPECT_NE(after.find(kept), std::string::npos) << kept;
    }
    EXPECT_EQ(Book().Names(), (std::vector<std::string>{"ann_01", "dan_04"}));
    EXPECT_TRUE(Book().Verify("dan_04", "date"));
}

}  // namespace
