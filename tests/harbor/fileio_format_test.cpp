// The dictionary file format, names, and the host's dictionary object, without a file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fileio/checksum.h"
#include "fileio/dict_collector.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_names.h"
#include "fileio/stored_dict.h"
#include "fileio_test_support.h"
#include "messaging/dict_object.h"

using namespace harbor;
using fileio_test::A;

namespace {

std::vector<DictFileEntry> Sample() {
    return {{"Message", StoredKind::Text, 0, "Hi\r\n"},
            {"MailID", StoredKind::Long, 0xFFFFFFFFu, {}},
            {"Plain", StoredKind::Short, 7, {}},
            {"ann", StoredKind::NamedShort, 300, "kite_ann"},
            {"Ratio", StoredKind::Float, 0x3E800000u, {}},
            {"Nine", StoredKind::Type9, 9, {}}};
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
    EXPECT_EQ(d.GetLong(A("Absent")), 0);
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

}  // namespace
