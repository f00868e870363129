// `harbor account` and `harbor import`, driven with string streams.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "data_dict_test_support.h"
#include "datadict/data_dict_loader.h"
#include "mail/import_file.h"
#include "mail/import_source.h"
#include "mail/mail_commands.h"
#include "mail/post_office.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;

class MailCommandsTest : public MailFixture {
protected:
    int Run(std::vector<std::string> args, const std::string& input = "") {
        in_.str(input);
        in_.clear();
        out_.str("");
        err_.str("");
        harbor::MailCommandContext context(in_, out_, err_);
        context.default_data = scratch_.Path();
        context.password_cost = harbor::PasswordCost::Fast();
        context.now = 1700000000;
        return harbor::RunMailCommand(args, context).value_or(-1);
    }
    harbor::AccountBook Book() const {
        return harbor::AccountBook(scratch_.Path() / ".postoffice" / "accounts", harbor::PasswordCost::Fast(), false);
    }
    std::vector<std::filesystem::path> ImportFiles() const {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(scratch_.Path() / "Import")) files.push_back(e.path());
        return files;
    }
    // The import file as the module reads it: text values of its top-level dictionary.
    static std::string TextOf(const harbor::DataDict& dict, const char* key) {
        const HostValue* value = harbor_test::Lookup(dict.Root(), key);
        if (value == nullptr) return "<missing>";
        return value->type == HostValueInteger ? std::to_string(value->payload) : harbor_test::TextOf(value);
    }

    std::istringstream in_;
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
    EXPECT_EQ(Run({"account", "list"}), 0);
    EXPECT_EQ(out_.str(), "ann_01  (0 waiting)\n");
    EXPECT_EQ(Run({"account", "remove", "ann_01", "--delete-mail"}), 0);
    EXPECT_EQ(Run({"account", "list"}), 0);
    EXPECT_EQ(out_.str(), "no accounts\n");
}

TEST_F(MailCommandsTest, BadNamesAndUsageAreRefused) {
    EXPECT_EQ(Run({"account", "add", "ann.01"}, "apple\n"), 1);
    EXPECT_EQ(Run({"account", "add", std::string(32, 'x')}, "apple\n"), 1);
    EXPECT_EQ(Run({"account", "add"}), 2);
    EXPECT_EQ(Run({"account", "rename", "a", "b"}), 2);
    EXPECT_EQ(Run({"account"}), 2);
    EXPECT_TRUE(Book().Names().empty());
    EXPECT_EQ(Run({"script"}), -1);  // not a mail command
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
    const std::filesystem::path mail = scratch_.Path() / "note.eml";
    std::ofstream(mail) << "From: ann_01@wrenmail.local\nSubject: @home\nDate: Tue, 14 Nov 2023 22:13:20 +0000\n\n"
                           "Hi \"p7\"\\ é\n";
    ASSERT_EQ(Run({"import", "--player", "p7", mail.string()}), 0) << err_.str();
    ASSERT_EQ(Run({"import", "--player=p7", "--subject", "typed", "--type", "text/wrenmail", "-"}, "<b>x</b>"), 0);
    const auto files = ImportFiles();
    ASSERT_EQ(files.size(), 2u);
    harbor::DataDictResult first = harbor::LoadDataDictFile(files[0]);
    harbor::DataDictResult second = harbor::LoadDataDictFile(files[1]);
    ASSERT_TRUE(first) << first.error;
    ASSERT_TRUE(second) << second.error;
    if (TextOf(*first.dict, "SUBJECT") != "@home") std::swap(first, second);
    EXPECT_EQ(TextOf(*first.dict, "TO"), "p7");
    EXPECT_EQ(TextOf(*first.dict, "FROM"), "ann_01");
    EXPECT_EQ(TextOf(*first.dict, "SUBJECT"), "@home");
    EXPECT_EQ(TextOf(*first.dict, "DATE"), "1700000000");
    EXPECT_EQ(TextOf(*first.dict, "MAILTYPE"), "text/plain");
    EXPECT_EQ(TextOf(*first.dict, "MESSAGE"), "Hi \"p7\"\\ é\n");
    EXPECT_EQ(TextOf(*second.dict, "MESSAGE"), "<b>x</b>");
    EXPECT_EQ(TextOf(*second.dict, "MAILTYPE"), "text/wrenmail");
    EXPECT_EQ(TextOf(*second.dict, "FROM"), harbor::PlainImportSender());  // plain text: from whoever imported it
}

TEST_F(MailCommandsTest, ImportRefusesWhatTheModuleCannotTake) {
    EXPECT_EQ(Run({"import", "-"}, "x"), 2);                          // no player
    EXPECT_EQ(Run({"import", "--player", "p7"}), 2);                 // no file
    EXPECT_EQ(Run({"import", "--player", "p7", "--colour", "red", "-"}, "x"), 2);
    EXPECT_EQ(Run({"import", "--player", "p7", "--date", "-1", "-"}, "x"), 2);
    EXPECT_EQ(Run({"import", "--player", "../p7", "-"}, "x"), 1);
    EXPECT_EQ(Run({"import", "--player", "p7", "--subject", std::string(128, 's'), "-"}, "x"), 1);
    EXPECT_EQ(Run({"import", "--player", "p7", "/no/such/file"}), 1);
    EXPECT_FALSE(std::filesystem::exists(scratch_.Path() / "Import") && !ImportFiles().empty());
}

}  // namespace
