// Saves and imports as the module makes them, against the real file service: a save is an empty
// create and then the write of the same file; an import is a read of an import file, a save, and
// the import file's delete. What a kill leaves is checked in a child that ends at a write stage.
#include <sys/stat.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fileio/checksum.h"
#include "fileio/import_journal.h"
#include "fileio_test_support.h"
#include "messaging/dict_object.h"

using namespace fileio_test;
using S = harbor::WriteStage;

namespace {

class SavePathTest : public ServiceTest {
protected:
    void Save(const char* name, int32_t id, bool write = true) {
        wm::DictObject empty;
        files_.Write(h_, name, &empty, /*create=*/true);
        if (write) WriteLong(name, id);
    }
    ino_t Inode(const char* name) const {
        struct stat st {};
        return ::stat((scratch_.Root() / name).c_str(), &st) == 0 ? st.st_ino : 0;
    }
};

// Only the write that fills a file other than the counter is flushed. Later counters are written
// over in place, but never through a second link (it may lead out of the root) nor over a file of
// another size.
TEST_F(SavePathTest, ASaveIsOneWriteOfEachFileAndLaterCountersAreWrittenInPlace) {
    Start(/*durable=*/true);
    std::vector<std::pair<S, std::string>> stages;
    // Each stage with whether WN2.wnl exists then: no empty file comes before the one write.
    service_->SetWriteStageHook([&](S now) { stages.emplace_back(now, std::to_string(Inode("WN2.wnl") != 0)); });
    Save("folder.dat", 2);
    Save("WN2.wnl", 2);
    Save("AddBook.wdb", 2);
    EXPECT_EQ(stages, (std::vector<std::pair<S, std::string>>{{S::TempWritten, "0"}, {S::TempSynced, "0"},
        {S::Renamed, "0"}, {S::TempWritten, "0"}, {S::TempSynced, "0"}, {S::Renamed, "1"}, {S::DirSynced, "1"},
        {S::TempWritten, "1"}, {S::TempSynced, "1"}, {S::Renamed, "1"}, {S::DirSynced, "1"}}));
    const ino_t counter = Inode("folder.dat");
    Save("folder.dat", 3);
    EXPECT_EQ(stages.size(), 11u);
    EXPECT_EQ(Inode("folder.dat"), counter);
    const std::string linked = ReadFile(scratch_.Root() / "folder.dat");
    fs::create_hard_link(scratch_.Root() / "folder.dat", scratch_.Outside() / "linked");
    Save("folder.dat", 4);
    EXPECT_EQ(ReadFile(scratch_.Outside() / "linked"), linked);
    wm::DictObject longer;
    longer.PutText(A("Note"), "a longer counter file");
    ASSERT_EQ(files_.Write(h_, "folder.dat", &longer), 1);
    Save("folder.dat", 5);
    EXPECT_EQ(ReadLong("folder.dat"), 5);  // nothing of the longer file left behind
}

// A kill between the create and the write's rename leaves what was there before the create.
TEST_F(SavePathTest, AKillBeforeTheWriteIsInPlaceLeavesWhatWasThere) {
    for (const std::optional<S> stage : {std::optional<S>(), std::optional(S::TempSynced), std::optional(S::Renamed)}) {
        Save("AddBook.wdb", 7);
        CrashAt(stage, [&] {
            Save("WN3.wnl", 8, stage.has_value());
            Save("AddBook.wdb", 8, stage.has_value());
        });
        EXPECT_EQ(ReadLong("WN3.wnl"), stage == S::Renamed ? 8 : -1);
        EXPECT_EQ(ReadLong("AddBook.wdb"), 7);
        fs::remove(scratch_.Root() / "WN3.wnl");
    }
}

// Anything after a create but the write of its file sees the file made, empty.
TEST_F(SavePathTest, AWaitingCreateIsMadeBeforeAnythingElse) {
    Save("kept.dat", 5);
    Save("kept.dat", 5, /*write=*/false);
    EXPECT_EQ(ReadLong("kept.dat"), 0);  // the create empties what was there
    int local = 0;
    wm::DictObject with_pointer;
    with_pointer.PutPointer(A("Where"), &local);
    Save("refused.dat", 1, false);
    EXPECT_EQ(files_.Write(h_, "refused.dat", &with_pointer), 0);
    const uint32_t other = files_.Open();  // a write of that name through another handle, elsewhere
    ASSERT_EQ(files_.MakeDir(other, "InBox"), 1);
    ASSERT_EQ(files_.Down(other, "InBox"), 1);
    Save("mine.dat", 1, false);
    wm::DictObject d;
    ASSERT_EQ(files_.Write(other, "mine.dat", &d), 1);
    Save("last.dat", 1, false);
    Start();  // the service ends with the create waiting
    EXPECT_EQ(ReadLong("refused.dat"), 0);
    EXPECT_EQ(ReadLong("mine.dat"), 0);
    EXPECT_EQ(ReadLong("last.dat"), 0);
}

class ImportTest : public SavePathTest {
protected:
    fs::path Import(const char* name) const { return scratch_.Root() / "Import" / name; }
    fs::path Journal() const { return scratch_.Root() / ".import-journal"; }
    void ImportUpToTheDelete(const char* file, const char* letter) {
        service_->NoteDataFileRead(Import(file));
        IntoInBox("p7");
        Save(letter, 1);
    }
    void SetUp() override {
        SavePathTest::SetUp();
        for (const char* name : {"a.dct", "b.dct"}) WriteFile(Import(name), std::string("{\"MESSAGE\": \"") + name + "\"}");
    }
};

TEST_F(ImportTest, AnImportFileIsRemovedAtStartOnlyWhenItsLetterIsStoredAndItIsUnchanged) {
    CrashAt(S::TempSynced, [&] { ImportUpToTheDelete("a.dct", "WN1.wnl"); });
    EXPECT_TRUE(fs::exists(Import("a.dct")));
    CrashAt(S::Renamed, [&] { ImportUpToTheDelete("a.dct", "WN1.wnl"); });
    EXPECT_FALSE(fs::exists(Import("a.dct")));
    EXPECT_TRUE(fs::exists(Import("b.dct")));
    CrashAt(S::Renamed, [&] {
        service_->NoteDataFileRead(Import("b.dct"));
        WriteFile(Import("b.dct"), "{\"MESSAGE\": \"edited\"}");  // another letter now
        IntoInBox("p7");
        Save("WN2.wnl", 1);
    });
    EXPECT_TRUE(fs::exists(Import("b.dct")));
    EXPECT_FALSE(fs::exists(Journal()));
}

TEST_F(ImportTest, TheModulesDeleteDropsTheNoteAndOnlyAWellFormedNoteRemovesAFile) {
    ImportUpToTheDelete("a.dct", "WN1.wnl");
    EXPECT_TRUE(fs::exists(Journal()));
    ASSERT_EQ(files_.Down(h_, "Import", /*from_root=*/true), 1);
    ASSERT_EQ(files_.Delete(h_, "a.dct"), 1);
    EXPECT_FALSE(fs::exists(Journal()));
    const std::string bytes = ReadFile(Import("b.dct"));
    const std::string good = harbor::ImportNoteText(
        {"b.dct", harbor::Crc32(bytes.data(), bytes.size()), {"MailBoxes", "kiteAccounts", "p7", "InBox", "WN1.wnl"}});
    for (const std::string& note : {good.substr(0, good.size() - 1), good + "\n", "../" + good, good}) {
        WriteFile(Journal(), note);
        Start();
        EXPECT_EQ(fs::exists(Import("b.dct")), note != good) << note;
    }
}

}  // namespace
