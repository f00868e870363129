// harbor dict-dump: one file in readable form, a folder checked, and the program's exit codes.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "fileio/dict_dump.h"
#include "fileio/dict_file_format.h"
#include "fileio_test_support.h"

using namespace fileio_test;

namespace {

class DictDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string bytes;
        ASSERT_TRUE(harbor::EncodeDictFile(
            {{"Message", harbor::StoredKind::Text, 0, "From: \"Ann\"\r\n\xC3\xA9\x01"},
             {"MailID", harbor::StoredKind::Long, static_cast<uint32_t>(-3), {}},
             {"ann", harbor::StoredKind::NamedShort, 412, "kite_ann"},
             {"n", harbor::StoredKind::Short, 5, {}},
             {"f", harbor::StoredKind::Float, 0x3FC00000u, {}},
             {"t", harbor::StoredKind::Type9, 4000000000u, {}}},
            good_));
        fs::create_directories(scratch_.Root() / "MailBoxes" / "InBox");
        WriteBytes(File("WN1.wnl"), good_);
        WriteBytes(scratch_.Root() / "MailBoxes" / "folder.dat", good_);
    }

    fs::path File(const char* name) const { return scratch_.Root() / "MailBoxes" / "InBox" / name; }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return harbor::RunDictDump(args, out_, err_);
    }

    Scratch scratch_;
    std::string good_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(DictDumpTest, PrintsEveryEntryReadably) {
    ASSERT_EQ(Run({File("WN1.wnl").string()}), 0);
    EXPECT_EQ(out_.str(), "# " + File("WN1.wnl").string() + ": dictionary file version 1, 6 entries\n" +
                              "\"Message\" Text \"From: \\\"Ann\\\"\\r\\n\xC3\xA9\\x01\"\n"
                              "\"MailID\" Long -3\n"
                              "\"ann\" Short 412 \"kite_ann\"\n"
                              "\"n\" Short 5\n"
                              "\"f\" Float 1.5\n"
                              "\"t\" Type9 4000000000\n");
}

TEST_F(DictDumpTest, AnAddressBookPrintsItsNamesSortedWithTheirKiteIds) {
    std::string bytes;
    ASSERT_TRUE(harbor::EncodeDictFile({{"zoe", harbor::StoredKind::NamedShort, 7, "zoe_9"},
                                        {"Version", harbor::StoredKind::Long, 2, {}},
                                        {"Granny", harbor::StoredKind::NamedShort, 9, "gran_42"},
                                        {"bob", harbor::StoredKind::NamedShort, 8, "bob_7"},
                                        {"x\x1b[2J", harbor::StoredKind::NamedShort, 6, "y"}},
                                       bytes));
    const fs::path book = scratch_.Root() / "MailBoxes" / "kiteAccounts" / "ann_01" / "AddBook.wdb";
    fs::create_directories(book.parent_path());
    WriteBytes(book, bytes);
    ASSERT_EQ(Run({book.string()}), 0);
    // A name with a control character is quoted and escaped; the columns make room for it.
    EXPECT_EQ(out_.str(), "# " + book.string() + ": dictionary file version 1, 5 entries\n" +
                              "# address book of ann_01: 4 names\n"
                              "Name        Kite ID\n"
                              "bob         bob_7\n"
                              "Granny      gran_42\n"
                              "\"x\\x1B[2J\"  y\n"
                              "zoe         zoe_9\n"
                              "# other entries, kept as they are: 1\n"
                              "\"Version\" Long 2\n");
}

TEST_F(DictDumpTest, ADamagedFileIsReportedWithExitOne) {
    WriteBytes(File("WN2.wnl"), good_.substr(0, good_.size() - 2));
    EXPECT_EQ(Run({File("WN2.wnl").string()}), 1);
    EXPECT_NE(err_.str().find("WN2.wnl: not a readable dictionary file: checksum mismatch"), std::string::npos)
        << err_.str();
    EXPECT_EQ(Run({File("missing").string()}), 1);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--check"}), 2);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out_.str().find("--check DIR"), std::string::npos);
}

TEST_F(DictDumpTest, CheckListsTheBadFilesOfAWholeTree) {
    EXPECT_EQ(Run({"--check", scratch_.Root().string()}), 0);
    EXPECT_EQ(out_.str(), "checked 2 file(s): 0 bad\n");
    WriteBytes(File("WN3.wnl"), "plain text");
    WriteBytes(File(".hbtmp-1-1"), "partial");
    EXPECT_EQ(Run({"--check", scratch_.Root().string()}), 1);
    EXPECT_NE(out_.str().find("bad: " + File("WN3.wnl").string() + ": not a dictionary file\n"), std::string::npos)
        << out_.str();
    EXPECT_NE(out_.str().find("leftover: " + File(".hbtmp-1-1").string()), std::string::npos);
    EXPECT_NE(out_.str().find("checked 3 file(s): 1 bad, 1 leftover temporary file(s)\n"), std::string::npos);
    EXPECT_EQ(Run({"--check", File("WN1.wnl").string()}), 1);  // not a folder
}

TEST_F(DictDumpTest, CheckFlagsEmptyMessageFilesACrashLeft) {
    std::string empty;
    ASSERT_TRUE(harbor::EncodeDictFile({}, empty));
    WriteBytes(File("WN7.wnl"), empty);
    WriteBytes(File("folder.dat"), empty);  // an empty dictionary is fine for anything else
    EXPECT_EQ(Run({"--check", scratch_.Root().string()}), 0);
    EXPECT_NE(out_.str().find("leftover: " + File("WN7.wnl").string() + ": empty message file"), std::string::npos)
        << out_.str();
    EXPECT_EQ(out_.str().find("folder.dat"), std::string::npos) << out_.str();
    EXPECT_NE(out_.str().find(", 1 empty message file(s)\n"), std::string::npos) << out_.str();
}

// The e2e sessions' checks run it on good files: here its status for a bad one comes through.
TEST_F(DictDumpTest, TheHarborProgramRunsIt) {
    WriteBytes(File("bad.wnl"), "x");
    const std::string command =
        std::string(HARBOR_PROGRAM) + " dict-dump '" + File("bad.wnl").string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
}

}  // namespace
