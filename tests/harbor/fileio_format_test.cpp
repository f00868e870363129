// The dictionary file format, names and the host's dictionary object without a file system, then
// harbor dict-dump: one file in readable form, a folder checked, and the program's exit codes.
#include <sstream>
#include <string>
#include <vector>

#include "fileio/checksum.h"
#include "fileio/dict_collector.h"
#include "fileio/dict_dump.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_names.h"
#include "fileio/stored_dict.h"
#include "fileio_test_support.h"
#include "messaging/dict_object.h"

using namespace harbor;
using fileio_test::A;
using fileio_test::WriteFile;
namespace fs = std::filesystem;

namespace {

std::vector<DictFileEntry> Sample() {
    return {{"Message", StoredKind::Text, 0, "From: \"Ann\"\r\n\xC3\xA9\x01"},
            {"MailID", StoredKind::Long, static_cast<uint32_t>(-3), {}},
            {"Plain", StoredKind::Short, 7, {}},
            {"ann", StoredKind::NamedShort, 300, "kite_ann"},
            {"Ratio", StoredKind::Float, 0x3E800000u, {}},
            {"Nine", StoredKind::Type9, 4000000000u, {}}};
}

std::string Encoded(const std::vector<DictFileEntry>& entries) {
    std::string bytes;
    EXPECT_TRUE(EncodeDictFile(entries, bytes));
    return bytes;
}

// Replaces the checksum so that only the change under test makes a file foreign.
std::string Resealed(std::string bytes) {
    const uint32_t crc = Crc32(bytes.data(), bytes.size() - 4);
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFFu);
    return bytes;
}

bool Decodes(const std::string& bytes) {
    std::vector<DictFileEntry> entries;
    return DecodeDictFile(bytes, entries);
}

TEST(DictFileFormat, TheBytesAreTheDocumentedLayout) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);  // eight at a time
    const std::string bytes = Encoded({{"ID", StoredKind::Long, 0x01020304u, {}}});
    const std::string body("\x89HBDICT\n\x01\x00\x00\x00\x01\x00\x00\x00\x01\x02\x00ID\x04\x03\x02\x01", 25);
    ASSERT_EQ(bytes.size(), body.size() + 4);
    EXPECT_EQ(bytes.substr(0, body.size()), body);
    EXPECT_EQ(Resealed(bytes), bytes);
}

TEST(DictFileFormat, EveryDamagedByteAndEveryTruncationIsNoticed) {
    const std::string bytes = Encoded(Sample());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::string damaged = bytes;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
        EXPECT_FALSE(Decodes(damaged)) << "byte " << i;
        EXPECT_FALSE(Decodes(bytes.substr(0, i))) << "length " << i;
    }
}

TEST(DictFileFormat, WellSealedButForeignFilesAreRefused) {
    const std::string one = Encoded({{"A", StoredKind::Text, 0, "x"}});
    const auto with = [&one](std::size_t at, char byte) {
        std::string changed = one;
        changed[at] = byte;
        return changed;
    };
    // The version, flags, entry count, a NUL in a text, a kind; a key twice; a byte after the end.
    const std::string version2 = with(8, 2);
    const std::string twice = Encoded({{"A", StoredKind::Long, 1, {}}, {"A", StoredKind::Long, 2, {}}});
    std::string trailing = one;
    trailing.insert(trailing.size() - 4, "z");
    for (const std::string& foreign :
         {version2, with(10, 1), with(15, 0x7F), with(one.size() - 5, '\0'), with(16, 6), twice, trailing}) {
        EXPECT_FALSE(Decodes(Resealed(foreign)));
    }
    std::string why;
    std::vector<DictFileEntry> entries;
    EXPECT_FALSE(DecodeDictFile(Resealed(version2), entries, &why));
    EXPECT_EQ(why, "unsupported version 2");
    EXPECT_FALSE(DecodeDictFile("GIF89a....................", entries, &why));
    EXPECT_EQ(why, "not a dictionary file");
}

TEST(FileNames, OnlyPlainEntryNamesAreAccepted) {
    for (const char* good : {"WN1.wnl", "folder.dat", "ann_01", ".hidden", "h\xC3\xA9", "a b", "...", "-x"}) {
        EXPECT_EQ(RefusedName(good), nullptr) << good;
    }
    for (const char* bad : {"", ".", "..", "/", "a/", "a\\b", "tab\there", "\x7f", ".hbtmp-12-3"}) {
        EXPECT_NE(RefusedName(bad), nullptr) << bad;
    }
    EXPECT_NE(RefusedName(std::string(256, 'a')), nullptr);
    EXPECT_EQ(RefusedName(std::string(255, 'a')), nullptr);
}

TEST(FileNames, QuotingEscapesWhatATerminalWouldMangle) {
    EXPECT_EQ(Quoted("a\"b\\c\r\n\t\x01"), "\"a\\\"b\\\\c\\r\\n\\t\\x01\"");
    EXPECT_EQ(Quoted("h\xC3\xA9llo"), "\"h\xC3\xA9llo\"");         // UTF-8 stays
    EXPECT_EQ(Quoted("\xC3(\xFF\xED\xA0\x80"), "\"\\xC3(\\xFF\\xED\\xA0\\x80\"");  // not UTF-8: escaped
}

TEST(StoredDict, AnswersLikeTheModulesObjectAndCopiesWhatIsPut) {
    StoredDict d;
    ASSERT_TRUE(d.Load({{"K", StoredKind::Long, 5, {}}, {"T", StoredKind::Text, 0, "text"}}));
    EXPECT_EQ(d.GetLong(A("K")), 5);
    EXPECT_EQ(d.GetShort(A("K")), 5);
    EXPECT_TRUE(d.GetBool(A("K")));
    EXPECT_EQ(d.GetText(A("Absent")), 0u);
    EXPECT_FALSE(d.HasKey(0));
    std::string buffer = "copied";
    EXPECT_TRUE(d.PutText(A("New"), buffer.c_str()));
    buffer = "changed";
    EXPECT_STREQ(static_cast<const char*>(HxDeref(d.GetText(A("New")))), "copied");
    EXPECT_TRUE(d.PutShort(A("K"), 9));  // a put of a present key keeps its place
    uint16_t type = 0;
    EXPECT_EQ(d.KeyAt(0, &type), A("K"));
    EXPECT_EQ(type, EDictShort);
    EXPECT_TRUE(d.Remove(A("T")));
    EXPECT_FALSE(d.Remove(A("T")));
    EXPECT_EQ(d.KeyCount(), 2);
    EXPECT_EQ(d.KeyAt(1, nullptr), A("New"));
    EXPECT_EQ(d.KeyAt(2, &type), 0);
    EXPECT_TRUE(d.Clear());
    EXPECT_EQ(d.KeyCount(), 0);
}

TEST(DictCollector, ReadsTheModulesObjectInOrderWithShortsByName) {
    wm::DictObject d;
    d.PutShort(A("ann"), A("kite_ann"));
    d.PutShort(A("zero"), 0);
    d.PutText(A("Null"), nullptr);
    std::vector<DictFileEntry> entries;
    std::string why;
    ASSERT_TRUE(CollectEntries(d, entries, why));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, StoredKind::NamedShort);
    EXPECT_EQ(entries[0].text, "kite_ann");
    EXPECT_EQ(entries[1].kind, StoredKind::Short);
    EXPECT_EQ(entries[2].kind, StoredKind::Text);
    EXPECT_EQ(entries[2].text, "");
    d.PutHandle(A("Conn"), 3);
    EXPECT_FALSE(CollectEntries(d, entries, why));
    EXPECT_EQ(why, "\"Conn\": a Handle cannot be stored");
}

class DictDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        good_ = Encoded(Sample());
        WriteFile(File("WN1.wnl"), good_);
        WriteFile(scratch_.Root() / "MailBoxes" / "folder.dat", good_);
    }

    fs::path File(const char* name) const { return scratch_.Root() / "MailBoxes" / "InBox" / name; }

    int Run(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return RunDictDump(args, out_, err_);
    }

    fileio_test::Scratch scratch_;
    std::string good_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(DictDumpTest, PrintsEveryEntryReadably) {
    ASSERT_EQ(Run({File("WN1.wnl").string()}), 0);
    EXPECT_EQ(out_.str(), "# " + File("WN1.wnl").string() + ": dictionary file version 1, 6 entries\n" +
                              "\"Message\" Text \"From: \\\"Ann\\\"\\r\\n\xC3\xA9\\x01\"\n"
                              "\"MailID\" Long -3\n"
                              "\"Plain\" Short 7\n"
                              "\"ann\" Short 300 \"kite_ann\"\n"
                              "\"Ratio\" Float 0.25\n"
                              "\"Nine\" Type9 4000000000\n");
}

// The book's layout, its sorting without regard to case, its owner and other entries are the
// address_book session's (its check compares the whole print); here, a name with a control
// character is quoted and escaped, and the column makes room for it.
TEST_F(DictDumpTest, AnAddressBookQuotesANameWithAControlCharacter) {
    const fs::path book = scratch_.Root() / "MailBoxes" / "kiteAccounts" / "ann_01" / "AddBook.wdb";
    WriteFile(book, Encoded({{"bob", StoredKind::NamedShort, 8, "bob_7"}, {"x\x1b[2J", StoredKind::NamedShort, 6, "y"}}));
    ASSERT_EQ(Run({book.string()}), 0);
    EXPECT_NE(out_.str().find("Name        Kite ID\nbob         bob_7\n\"x\\x1B[2J\"  y\n"), std::string::npos)
        << out_.str();
}

// The e2e sessions' checks run the harbor program on good files: here its status for a bad one.
TEST_F(DictDumpTest, ADamagedFileIsReportedWithExitOne) {
    WriteFile(File("WN2.wnl"), good_.substr(0, good_.size() - 2));
    EXPECT_EQ(Run({File("WN2.wnl").string()}), 1);
    EXPECT_NE(err_.str().find("WN2.wnl: not a readable dictionary file: checksum mismatch"), std::string::npos)
        << err_.str();
    EXPECT_EQ(harbor_test::RunCommand(std::string(HARBOR_PROGRAM) + " dict-dump '" + File("WN2.wnl").string() + "' 2>&1").status, 1);
    EXPECT_EQ(Run({File("missing").string()}), 1);
    EXPECT_EQ(Run({}), 2);
    EXPECT_EQ(Run({"--check"}), 2);
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(out_.str().find("--check DIR"), std::string::npos);
}

// Empty message files a crash left are leftovers; an empty dictionary is fine for anything else.
TEST_F(DictDumpTest, CheckListsTheBadAndLeftoverFilesOfAWholeTree) {
    EXPECT_EQ(Run({"--check", scratch_.Root().string()}), 0);
    EXPECT_EQ(out_.str(), "checked 2 file(s): 0 bad\n");
    WriteFile(File("WN7.wnl"), Encoded({}));
    WriteFile(File("folder.dat"), Encoded({}));
    EXPECT_EQ(Run({"--check", scratch_.Root().string()}), 0);
    EXPECT_NE(out_.str().find("leftover: " + File("WN7.wnl").string() + ": empty message file"), std::string::npos)
        << out_.str();
    EXPECT_EQ(out_.str().find("folder.dat"), std::string::npos) << out_.str();
    WriteFile(File("WN3.wnl"), "plain text");
    WriteFile(File(".hbtmp-1-1"), "partial");
    EXPECT_EQ(Run({"--check", scratch_.Root().string()}), 1);
    EXPECT_NE(out_.str().find("bad: " + File("WN3.wnl").string() + ": not a dictionary file\n"), std::string::npos)
        << out_.str();
    EXPECT_NE(out_.str().find("leftover: " + File(".hbtmp-1-1").string()), std::string::npos);
    EXPECT_NE(out_.str().find("checked 5 file(s): 1 bad, 1 leftover temporary file(s), 1 empty message file(s)\n"),
              std::string::npos) << out_.str();
    EXPECT_EQ(Run({"--check", File("WN1.wnl").string()}), 1);  // not a folder
}

}  // namespace
