// FileIOPort answered by harbor::FileService: handles, directories, confinement to the root,
// dictionary files through the module's own dictionary object, listings and crash safety. A
// change of folder that fails leaves the handle in no folder until ROOT (or PARENT back past the
// failed step) puts it in one again. Beside the module's files in the root: the lock (one harbor
// per root) and the holding area where deleted message files go and from which `harbor recover`
// brings them back, so a crash between the module's delete and its Trash copy loses nothing.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/trace_log.h"
#include "fileio/atomic_file.h"
#include "fileio/checksum.h"
#include "fileio/data_root_lock.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_handles.h"
#include "fileio/file_names.h"
#include "fileio/held_files.h"
#include "fileio/import_journal.h"
#include "fileio/unique_fd.h"
#include "fileio_test_support.h"
#include "mail/recover_command.h"
#include "messaging/dict_object.h"

using namespace fileio_test;

namespace {

using FileServiceTest = ServiceTest;
using S = harbor::WriteStage;

TEST_F(FileServiceTest, HandlesAreDistinctEachInItsOwnFolderAndAClosedOneDoesNothing) {
    const uint32_t other = files_.Open();
    EXPECT_NE(h_, 0u);
    EXPECT_NE(other, h_);
    Into({"MailBoxes"});
    WriteLong("folder.dat", 7);
    EXPECT_TRUE(fs::is_regular_file(scratch_.Root() / "MailBoxes" / "folder.dat"));
    EXPECT_EQ(files_.Read(other, "folder.dat"), nullptr);  // still at the root
    EXPECT_EQ(files_.Names(other), std::vector<std::string>{"MailBoxes"});
    EXPECT_EQ(files_.Close(other), 1);
    EXPECT_EQ(files_.MakeDir(other, "Never"), 0);
    EXPECT_EQ(files_.Close(other), 0);
    EXPECT_EQ(files_.MakeDir(0, "Never"), 0);
    EXPECT_EQ(files_.List(424242), nullptr);
    EXPECT_FALSE(fs::exists(scratch_.Root() / "Never"));
    EXPECT_EQ(service_->OpenHandles(), 1u);
}

TEST_F(FileServiceTest, ParentStopsAtTheRootAndANameWithRootStartsFromTheRoot) {
    EXPECT_EQ(files_.Up(h_), 1);  // the root is its own parent
    Into({"A", "B"});
    WriteLong("deep.dat", 2);
    EXPECT_EQ(files_.Down(h_, "A", /*from_root=*/true), 1);  // root, then down: A
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"B"});
    EXPECT_EQ(files_.Down(h_, "B"), 1);
    // A failed change leaves the handle in no folder (FailClosedTest); PARENT counts back up.
    EXPECT_EQ(files_.Down(h_, "Missing", /*from_root=*/true), 0);
    EXPECT_EQ(ReadLong("deep.dat"), -1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(files_.Up(h_), 1);
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"A"});
    EXPECT_EQ(files_.Root(h_), 1);
    EXPECT_EQ(files_.MakeDir(h_, "A"), 1);  // again: harmless
}

TEST_F(FileServiceTest, HostileNamesNeverReachOutsideTheRoot) {
    const std::string too_long(256, 'x');
    const std::vector<std::string> hostile = {"",       ".",     "..",          "../outside", "/tmp",      "a/b",
                                              "a\\b",   "a\nb",  "\x7f",        ".hbtmp-1-1", too_long,    "..\\outside",
                                              "\x1b[2J"};
    wm::DictObject d;
    d.PutLong(A("LastID"), 1);
    for (const std::string& name : hostile) {
        SCOPED_TRACE(name);
        EXPECT_EQ(files_.MakeDir(h_, name.c_str()), 0);
        EXPECT_EQ(files_.Down(h_, name.c_str()), 0);
        EXPECT_EQ(files_.Write(h_, name.c_str(), &d), 0);
        EXPECT_EQ(files_.Write(h_, name.c_str(), nullptr, true), 0);
        EXPECT_EQ(files_.Read(h_, name.c_str()), nullptr);
        EXPECT_EQ(files_.Delete(h_, name.c_str()), 0);
    }
    EXPECT_TRUE(OnDisk(scratch_.Root()).empty());
    EXPECT_EQ(OnDisk(scratch_.Base()), (std::vector<std::string>{"outside", "root"}));
    EXPECT_TRUE(OnDisk(scratch_.Outside()).empty());
}

TEST_F(FileServiceTest, SymbolicLinksInsideTheRootAreNeverFollowed) {
    WriteLong("keep.dat", 5);
    fs::copy_file(scratch_.Root() / "keep.dat", scratch_.Outside() / "secret.dat");
    fs::create_directory_symlink(scratch_.Outside(), scratch_.Root() / "evil");
    fs::create_symlink(scratch_.Outside() / "secret.dat", scratch_.Root() / "link.dat");
    EXPECT_EQ(files_.Down(h_, "evil"), 0);
    EXPECT_EQ(files_.Up(h_), 1);  // back where the module believes it came from
    EXPECT_EQ(files_.MakeDir(h_, "evil"), 0);
    EXPECT_EQ(files_.Read(h_, "link.dat"), nullptr);
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"keep.dat"});
    WriteLong("link.dat", 9);  // replaces the link itself, not its target
    EXPECT_EQ(ReadLong("link.dat"), 9);
    EXPECT_FALSE(fs::is_symlink(scratch_.Root() / "link.dat"));
    EXPECT_EQ(files_.Delete(h_, "evil"), 1);  // the link goes, what it pointed at stays
    EXPECT_EQ(OnDisk(scratch_.Outside()), std::vector<std::string>{"secret.dat"});
    EXPECT_EQ(ReadFile(scratch_.Outside() / "secret.dat"), ReadFile(scratch_.Root() / "keep.dat"));
}

TEST_F(FileServiceTest, EveryStorableKindComesBackFromTheModulesObject) {
    const std::string big(3 << 20, 'm');
    wm::DictObject d;
    d.PutText(A("Message"), "From: ann\r\nSubject: h\xC3\xA9llo\r\n\r\nbody");
    d.PutLong(A("MailID"), -17);
    d.PutShort(A("Plain"), 65000);  // no atom has this number
    d.PutShort(A("ann"), A("kite_ann"));
    d.PutBool(A("Flag"), true);
    d.PutText(A("Empty"), "");
    d.PutText(A("Big"), big.c_str());
    d.PutType9(A("Nine"), 0xDEADBEEFu);
    EDictPutFloat(d.FirstRecord(), A("Ratio"), 0.25f);
    for (int i = 0; i < 30; ++i) d.PutLong(A(("k" + std::to_string(i)).c_str()), i);  // into a second record
    ASSERT_EQ(files_.Write(h_, "all.dat", &d), 1);

    DictInterface* r = files_.Read(h_, "all.dat");
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->KeyCount(), d.KeyCount());
    for (int32_t i = 0; i < d.KeyCount(); ++i) {
        uint16_t want = 0, got = 0;
        EXPECT_EQ(r->KeyAt(i, &got), d.KeyAt(i, &want));
        EXPECT_EQ(got, want);
    }
    EXPECT_STREQ(TextOf(*r, "Message"), "From: ann\r\nSubject: h\xC3\xA9llo\r\n\r\nbody");
    EXPECT_EQ(r->GetLong(A("MailID")), -17);
    EXPECT_EQ(r->GetShort(A("Plain")), 65000);
    EXPECT_EQ(r->GetShort(A("ann")), A("kite_ann"));
    EXPECT_TRUE(r->GetBool(A("Flag")));
    EXPECT_STREQ(TextOf(*r, "Empty"), "");
    EXPECT_EQ(TextOf(*r, "Big"), big);
    EXPECT_EQ(r->GetType9(A("Nine")), 0xDEADBEEFu);
    EXPECT_EQ(std::bit_cast<float>(static_cast<uint32_t>(r->GetLong(A("Ratio")))), 0.25f);
    EXPECT_EQ(r->GetLong(A("k29")), 29);
    EXPECT_EQ(r->GetLong(A("Absent")), 0);
    // A number is no text: a message file whose Message was a Long made the module read whatever
    // reference that number named (a freed data dictionary's text, under the sanitizer).
    for (const char* key : {"MailID", "Plain", "ann", "Nine", "Ratio"}) EXPECT_EQ(r->GetText(A(key)), 0u) << key;
}

TEST_F(FileServiceTest, AShortNamingAnAtomComesBackAsThisRunsAtomOfThatName) {
    // As a file written by an earlier run: there, the atoms of these names had other numbers.
    std::vector<harbor::DictFileEntry> entries(2);
    entries[0] = {"Bob", harbor::StoredKind::NamedShort, 60001, "kite_bob_restart"};
    entries[1] = {"Count", harbor::StoredKind::Short, 60002, {}};
    std::string bytes;
    ASSERT_TRUE(harbor::EncodeDictFile(entries, bytes));
    WriteFile(scratch_.Root() / "AddBook.wdb", bytes);
    DictInterface* r = files_.Read(h_, "AddBook.wdb");
    ASSERT_NE(r, nullptr);
    uint16_t type = 0;
    EXPECT_EQ(r->KeyAt(0, &type), A("Bob"));
    EXPECT_EQ(type, EDictShort);
    EXPECT_EQ(r->GetShort(A("Bob")), A("kite_bob_restart"));
    EXPECT_EQ(r->GetShort(A("Count")), 60002);
}

TEST_F(FileServiceTest, APointerValueOrANamelessKeyRefusesTheWholeWrite) {
    WriteLong("book.dat", 3);
    const std::string before = ReadFile(scratch_.Root() / "book.dat");
    int local = 0;
    wm::DictObject with_pointer;
    with_pointer.PutLong(A("LastID"), 4);
    with_pointer.PutPointer(A("Where"), &local);
    wm::DictObject unnamed_key;
    unnamed_key.PutLong(65530, 1);  // an atom nobody has asked for: no name to store
    EXPECT_EQ(files_.Write(h_, "book.dat", &with_pointer), 0);
    EXPECT_EQ(files_.Write(h_, "book.dat", &unnamed_key), 0);
    EXPECT_EQ(files_.Write(h_, "fresh.dat", &with_pointer), 0);
    EXPECT_EQ(files_.Write(h_, "fresh.dat", nullptr), 0);  // a write needs its dictionary
    EXPECT_EQ(ReadFile(scratch_.Root() / "book.dat"), before);
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"book.dat"});
}

// Every damaged byte and truncation is the format test's; here, what the service makes of them.
TEST_F(FileServiceTest, DamagedTruncatedAndForeignFilesReadAsNoDictionary) {
    WriteLong("good.dat", 12);
    const std::string good = ReadFile(scratch_.Root() / "good.dat");
    WriteFile(scratch_.Root() / "short.dat", good.substr(0, good.size() - 1));
    WriteFile(scratch_.Root() / "text.dat", "LastID=12\n");
    fs::create_directory(scratch_.Root() / "dir.dat");
    for (const char* name : {"short.dat", "text.dat", "dir.dat", "missing.dat"}) EXPECT_EQ(files_.Read(h_, name), nullptr) << name;
    EXPECT_EQ(ReadLong("good.dat"), 12);
}

TEST_F(FileServiceTest, ListingIsASortedSnapshotThatDeletesDoNotShift) {
    for (const char* name : {"b.wnl", "a.wnl", "C.wnl", "folder.dat"}) WriteLong(name, 1);
    ASSERT_EQ(files_.MakeDir(h_, "Trash"), 1);
    FioQueryInterface* q = files_.List(h_);
    ASSERT_NE(q, nullptr);
    ASSERT_EQ(q->Count(), 5);
    std::vector<std::string> walked;
    for (int32_t i = 0; q->NameAt(i) != nullptr; ++i) {
        walked.emplace_back(q->NameAt(i));
        files_.Delete(h_, q->NameAt(i));  // as emptying a folder does
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"C.wnl", "Trash", "a.wnl", "b.wnl", "folder.dat"}));
    EXPECT_EQ(q->NameAt(-1), nullptr);
    EXPECT_EQ(q->NameAt(5), nullptr);
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"Trash"});
}

// A write cut short by a crash leaves the old file or the new one. The temporary file it may
// leave is never listed, and the first listing removes it.
TEST_F(FileServiceTest, ACrashInTheMiddleOfAWriteLeavesTheOldFileOrTheNewOne) {
    WriteLong("book.dat", 1);
    for (const auto& [stage, expected] : {std::pair{S::TempWritten, 1}, {S::TempSynced, 1}, {S::Renamed, 2}}) {
        EXPECT_TRUE(CrashAt(stage, [this] { WriteLong("book.dat", 2); }));
        EXPECT_EQ(ReadLong("book.dat"), expected);
        EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"book.dat"});
        EXPECT_EQ(OnDisk(scratch_.Root()), std::vector<std::string>{"book.dat"});
    }
}

TEST_F(FileServiceTest, AStrayTemporaryFileOfALiveWriterIsLeftAlone) {
    WriteLong("folder.dat", 1);
    const std::string live = ".hbtmp-" + std::to_string(getppid()) + "-1";  // the test runner's parent runs
    WriteFile(scratch_.Root() / live, "partial");
    WriteFile(scratch_.Root() / ".hbtmp-999999999-1", "partial");  // no such process
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"folder.dat"});
    EXPECT_EQ(OnDisk(scratch_.Root()), (std::vector<std::string>{live, "folder.dat"}));
}

// The answered object is reused from read to read, and a text in the same place keeps its
// reference: over a long run of reads neither objects nor references pile up.
TEST_F(FileServiceTest, ReadsReuseOneObjectPerHandle) {
    const std::string large(20000, 'x');
    for (const auto& [name, text, id] : {std::tuple{"WN1.wnl", "short", 1}, {"WN2.wnl", large.c_str(), 2}}) {
        wm::DictObject d;
        d.PutText(A("Message"), text);
        d.PutLong(A("LastID"), id);
        ASSERT_EQ(files_.Write(h_, name, &d), 1);
    }
    DictInterface* first = files_.Read(h_, "WN2.wnl");
    ASSERT_NE(first, nullptr);
    const uint32_t text_ref = first->GetText(A("Message"));
    EXPECT_EQ(files_.Read(h_, "WN1.wnl"), first);
    EXPECT_EQ(first->GetLong(A("LastID")), 1);
    EXPECT_EQ(first->GetText(A("Message")), text_ref);
    EXPECT_EQ(files_.Read(h_, "WN3.wnl"), nullptr);
    EXPECT_EQ(files_.Read(h_, "WN2.wnl"), first);
    EXPECT_EQ(first->GetText(A("Message")), text_ref);
}

TEST_F(FileServiceTest, RefusalsSayWhyInTheTrace) {
    std::vector<std::string> lines;
    harbor::TraceLog::Instance().SetSink([&lines](std::string_view line) { lines.emplace_back(line); });
    files_.Read(h_, "../outside");
    files_.Delete(4242, "x");
    harbor::TraceLog::Instance().SetSink(nullptr);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\"../outside\": the name holds a '/'"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("unknown handle 4242"), std::string::npos) << lines[1];
}

// Folder names are found ignoring letter case and kept as first written.
// The post office accepted ANN_01 for ann_01, the module then opened a second mailbox
// "ANN_01" and her letters seemed to vanish.
TEST_F(FileServiceTest, OneMailboxWhateverTheCaseOfTheOwnerId) {
    IntoInBox("ann_01");
    WriteLong("WN1.wnl", 1);
    IntoInBox("ANN_01");
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"WN1.wnl"});
    IntoInBox("Ann_01");
    WriteLong("WN2.wnl", 1);
    EXPECT_EQ(OnDisk(scratch_.Root() / "MailBoxes" / "kiteAccounts"), std::vector<std::string>{"ann_01"});
    EXPECT_TRUE(fs::exists(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox/WN2.wnl"));
}

TEST_F(FileServiceTest, TheExactSpellingWinsThenTheFirstInNameOrder) {
    for (const char* name : {"b", "B", "cc"}) fs::create_directories(scratch_.Root() / name);
    const harbor::UniqueFd dir(::open(scratch_.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(dir.Valid());
    // "C": no entry of that length.
    for (const auto& [asked, found] : {std::pair{"b", "b"}, {"B", "B"}, {"CC", "cc"}, {"C", "C"}, {"new", "new"}}) {
        EXPECT_EQ(harbor::FirstSpelling(dir.Get(), asked), found);
    }
}

class FailClosedTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        WriteFile(scratch_.Root() / "precious.dat", "precious");
        d_.PutLong(A("LastID"), 7);
    }
    // Everything a faithful module would do in the folder it believes it is in; all must fail.
    void ExpectNothingDoneHere(const char* where) {
        SCOPED_TRACE(where);
        EXPECT_TRUE(files_.Names(h_).empty());
        EXPECT_EQ(files_.Delete(h_, "precious.dat"), 0);
        EXPECT_EQ(files_.Write(h_, "WN1.wnl", &d_), 0);
        EXPECT_EQ(files_.Write(h_, "folder.dat", nullptr, true), 0);
        EXPECT_EQ(files_.MakeDir(h_, "InBox"), 0);
        EXPECT_EQ(files_.Read(h_, "precious.dat"), nullptr);
    }

    wm::DictObject d_;
};

TEST_F(FailClosedTest, AFolderThatIsAFileOrALinkOrUnreadableLeavesTheHandleNowhere) {
    WriteFile(scratch_.Root() / "Import", "x");
    fs::create_directory_symlink(scratch_.Outside(), scratch_.Root() / "Linked");
    fs::create_directory(scratch_.Root() / "Locked");
    fs::permissions(scratch_.Root() / "Locked", fs::perms::none);
    for (const char* name : {"Import", "Linked", "Missing", "Locked"}) {
        if (std::string(name) == "Locked" && ::geteuid() == 0) continue;  // root enters anyway
        FioQueryInterface* before = files_.List(h_);
        ASSERT_NE(before, nullptr);
        ASSERT_GT(before->Count(), 0);
        EXPECT_EQ(files_.Down(h_, name), 0) << name;
        EXPECT_EQ(before->NameAt(0), nullptr) << "the listing answered before still names the root";
        EXPECT_EQ(service_->LastUsedDirectory(), std::nullopt);
        ExpectNothingDoneHere(name);
        EXPECT_EQ(files_.Root(h_), 1);
        EXPECT_FALSE(files_.Names(h_).empty());
    }
    fs::permissions(scratch_.Root() / "Locked", fs::perms::owner_all);
    EXPECT_EQ(ReadFile(scratch_.Root() / "precious.dat"), "precious");
    EXPECT_TRUE(fs::is_empty(scratch_.Outside()));
}

TEST_F(FailClosedTest, RefusedOwnerIdsReachNoSharedFolder) {
    Into({"MailBoxes", "Players"});
    for (const char* owner : {"..", "a/b", ".", "", "/tmp"}) {
        SCOPED_TRACE(owner);
        EXPECT_EQ(files_.MakeDir(h_, owner), 0);
        EXPECT_EQ(files_.Down(h_, owner), 0);
        EXPECT_EQ(files_.Down(h_, "InBox"), 0);  // still nowhere, one level deeper
        ExpectNothingDoneHere(owner);
        EXPECT_EQ(files_.Up(h_), 0);
        EXPECT_EQ(files_.Up(h_), 1);  // back in Players, where the module believes it is
        EXPECT_TRUE(files_.Names(h_).empty());
        EXPECT_EQ(files_.Write(h_, "probe.dat", &d_), 1);
        EXPECT_EQ(files_.Delete(h_, "probe.dat"), 1);
    }
    EXPECT_EQ(OnDisk(scratch_.Root(), true),
              (std::vector<std::string>{"MailBoxes", "MailBoxes/Players", "precious.dat"}));
}

// A write that fails once its temporary file exists (here at the file size limit, in a child
// process) takes the temporary file away with it.
TEST(AtomicWriteTest, AFailedWriteLeavesNoTemporaryFile) {
    Scratch scratch;
    EXPECT_EQ(InChild([&scratch] {
                  const rlimit small{16, 16};
                  ::setrlimit(RLIMIT_FSIZE, &small);
                  std::signal(SIGXFSZ, SIG_IGN);
                  const harbor::UniqueFd dir(::open(scratch.Outside().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
                  std::string error;
                  return harbor::WriteAtomically(dir.Get(), "letter", std::string(4096, 'x'), false, {}, error) ? 0 : 1;
              }),
              1) << "the write should have failed";
    EXPECT_TRUE(fs::is_empty(scratch.Outside()));
}

using harbor::DataRootLock;

class DataRootLockTest : public ::testing::Test {
protected:
    DataRootLockTest() { fs::create_directories(scratch_.Root()); }
    std::optional<DataRootLock> Take(const char* who, int wait_ms) {
        return DataRootLock::Take(scratch_.Root(), who, std::chrono::milliseconds(wait_ms), problem_, in_use_);
    }
    // What a refusal names: this process, holding the root as `who`.
    static std::string Holder(const char* who) {
        return "in use by another harbor (pid " + std::to_string(::getpid()) + ", " + who + ")";
    }

    Scratch scratch_;
    std::string problem_;
    bool in_use_ = true;
};

TEST_F(DataRootLockTest, ALinkIsNotFollowedAndASecondHolderIsToldWhoHasTheRoot) {
    WriteFile(scratch_.Outside() / "precious", "precious\n");
    fs::create_symlink(scratch_.Outside() / "precious", scratch_.Root() / harbor::kLockFileName);
    EXPECT_FALSE(Take("window", 0));
    EXPECT_FALSE(in_use_);
    EXPECT_NE(problem_.find("cannot be locked"), std::string::npos) << problem_;
    EXPECT_EQ(ReadFile(scratch_.Outside() / "precious"), "precious\n");
    fs::remove(scratch_.Root() / harbor::kLockFileName);
    std::optional<DataRootLock> first = Take("window", 0);
    ASSERT_TRUE(first) << problem_;
    EXPECT_FALSE(in_use_);
    // flock belongs to the open file, so a second take in this same process is refused too.
    EXPECT_FALSE(Take("script", 100));
    EXPECT_TRUE(in_use_);
    EXPECT_NE(problem_.find(Holder("window")), std::string::npos) << problem_;
    first.reset();
    EXPECT_TRUE(Take("script", 0));
    EXPECT_NE(harbor::RefusedName(harbor::kLockFileName), nullptr) << "the module never sees the lock file";
}

// The account command waits for the root, then gives up with status 3 naming the holder; the
// accounts file is untouched.
TEST_F(DataRootLockTest, AccountCommandWaitsThenNamesTheHolder) {
    std::optional<DataRootLock> held = Take("window", 0);
    ASSERT_TRUE(held) << problem_;
    const fs::path err = scratch_.Base() / "err";
    const std::string command = "printf 'apple\\n' | HARBOR_PASSWORD_COST=fast " + std::string(HARBOR_PROGRAM) +
                                " account add ann_01 --data " + scratch_.Root().string() + " 2>" + err.string();
    EXPECT_EQ(harbor_test::RunCommand(command).status, harbor::kRootInUse);
    const std::string said = ReadFile(err);
    EXPECT_NE(said.find("account add: the data folder " + scratch_.Root().string() + " is " + Holder("window")),
              std::string::npos)
        << said;
    EXPECT_FALSE(fs::exists(scratch_.Root() / ".postoffice" / "accounts"));
    held.reset();
    EXPECT_EQ(harbor_test::RunCommand(command).status, 0);
}

class HeldFilesTest : public ServiceTest {
protected:
    void WriteMessage(const char* file, const char* text) {
        wm::DictObject d;
        d.PutText(A("Message"), text);
        ASSERT_EQ(files_.Write(h_, file, &d), 1);
    }
    std::string Recover(std::vector<std::string> args, int expect = 0) {
        args.insert(args.end(), {"--data", scratch_.Root().string()});
        std::ostringstream out, err;
        EXPECT_EQ(harbor::RunRecoverCommand(args, out, err, "/nonexistent"), expect) << err.str();
        return out.str() + err.str();
    }
};

// The module deletes the InBox file before it writes the Trash copy: 18 of 21 kills in between
// lost the letter.
TEST_F(HeldFilesTest, ALetterDeletedJustBeforeACrashCanBeRecovered) {
    IntoInBox();
    WriteMessage("WN3.wnl", "Subject: the kite\n\nfly it\n");
    const std::string before = ReadFile(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox/WN3.wnl");
    EXPECT_EQ(files_.Delete(h_, "WN3.wnl"), 1);
    EXPECT_TRUE(files_.Names(h_).empty());
    Start();  // the crash: no Trash copy was written

    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Root());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].path, (std::vector<std::string>{"MailBoxes", "kiteAccounts", "ann_01", "InBox", "WN3.wnl"}));
    const std::string listed = Recover({});
    EXPECT_NE(listed.find(held[0].id + "  "), std::string::npos) << listed;
    EXPECT_NE(listed.find("MailBoxes/kiteAccounts/ann_01/InBox/WN3.wnl  \"the kite\""), std::string::npos) << listed;

    EXPECT_NE(Recover({held[0].id}).find("restored"), std::string::npos);
    EXPECT_EQ(ReadFile(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox/WN3.wnl"), before);
    EXPECT_TRUE(harbor::ListHeld(scratch_.Root()).empty());
    EXPECT_NE(Recover({held[0].id}, 1).find("nothing is held as"), std::string::npos);
    EXPECT_NE(Recover({"../.."}, 1).find("nothing is held as"), std::string::npos);
    std::ostringstream out, err;
    EXPECT_EQ(harbor::RunRecoverCommand({"--data=" + scratch_.Root().string()}, out, err, "/nonexistent"), 0);
    EXPECT_EQ(out.str(), "nothing is held\n");
    EXPECT_EQ(harbor::RunRecoverCommand({"--data"}, out, err, "/nonexistent"), 2);
    EXPECT_NE(err.str().find("--data needs a value"), std::string::npos) << err.str();

    IntoInBox();  // deleted again, and the id handed out again: a restore never replaces that file
    ASSERT_EQ(files_.Delete(h_, "WN3.wnl"), 1);
    WriteMessage("WN3.wnl", "Subject: new\n\ny\n");
    const std::string again = harbor::ListHeld(scratch_.Root()).at(0).id;
    EXPECT_NE(Recover({again}, 1).find("is there again"), std::string::npos);
    EXPECT_EQ(harbor::ListHeld(scratch_.Root()).size(), 1u);
}

// The module reads a file it cannot read as a missing one and writes a new one over it: an
// address book too large for the name table came back empty after Done, its 33,000 names gone.
TEST_F(HeldFilesTest, AFileThatCouldNotBeReadIsHeldBeforeANewOneIsWrittenOverIt) {
    IntoInBox();
    const fs::path inbox = scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox";
    WriteFile(inbox / "AddBook.wdb", "damaged names");
    WriteFile(inbox / "folder.dat", "damaged counter");
    for (const char* name : {"AddBook.wdb", "folder.dat", "WN4.wnl"}) EXPECT_EQ(files_.Read(h_, name), nullptr);
    WriteMessage("WN4.wnl", "Subject: new\n\ny\n");  // was missing: nothing to keep
    EXPECT_EQ(files_.Write(h_, "AddBook.wdb", nullptr, /*create=*/true), 1);
    WriteMessage("AddBook.wdb", "new book");
    WriteMessage("AddBook.wdb", "newer book");  // read as missing once, held once
    WriteMessage("folder.dat", "new counter");

    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Root());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(ReadFile(scratch_.Root() / ".held" / held[0].id / "MailBoxes/kiteAccounts/ann_01/InBox/AddBook.wdb"),
              "damaged names");
    EXPECT_EQ(TextOf(*files_.Read(h_, "AddBook.wdb"), "Message"), std::string("newer book"));
}

TEST_F(HeldFilesTest, DeleteTakesFilesOnlyHoldsMessageFilesAndHidesTheArea) {
    WriteMessage("folder.dat", "x");
    WriteMessage("WN12.wnl", "Subject: a\n\nb\n");
    ASSERT_EQ(files_.MakeDir(h_, "InBox"), 1);
    EXPECT_EQ(files_.Delete(h_, "folder.dat"), 1);
    EXPECT_EQ(files_.Delete(h_, "WN12.wnl"), 1);
    EXPECT_EQ(files_.Delete(h_, "WN12.wnl"), 0);
    EXPECT_EQ(files_.Delete(h_, "InBox"), 0);
    EXPECT_EQ(harbor::ListHeld(scratch_.Root()).size(), 1u);
    EXPECT_EQ(OnDisk(scratch_.Root()), (std::vector<std::string>{".held", "InBox"}));
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"InBox"});  // ".held" is not listed
    EXPECT_EQ(files_.Down(h_, ".held"), 0);
    EXPECT_EQ(files_.Root(h_), 1);
    EXPECT_EQ(files_.Delete(h_, ".held"), 0);
    for (const char* name : {"WN1.wnl", "WN123456.wnl"}) EXPECT_TRUE(harbor::IsMessageFile(name)) << name;
    for (const char* name : {"WN.wnl", "WNx.wnl", "wn1.wnl", "WN1.wnlx", "folder.dat"}) {
        EXPECT_FALSE(harbor::IsMessageFile(name)) << name;
    }
}

// At start, entries older than thirty days are forgotten and the empty message files of
// interrupted saves are held (a create whose write never came).
TEST_F(HeldFilesTest, AtStartOldEntriesAreForgottenAndEmptyMessageFilesAreHeld) {
    const long long now = static_cast<long long>(std::time(nullptr));
    const long long old = now - 31LL * 24 * 60 * 60;
    const long long recent = now - 29LL * 24 * 60 * 60;
    for (long long at : {old, recent}) {
        const fs::path entry = scratch_.Root() / ".held" / (std::to_string(at) + "-1-1") / "InBox";
        fs::create_directories(entry);
        WriteFile(entry / "WN1.wnl", "x");
    }
    IntoInBox();
    ASSERT_EQ(files_.Write(h_, "WN4.wnl", nullptr, /*create=*/true), 1);  // the crash: never filled
    WriteMessage("WN5.wnl", "Subject: whole\n\nx\n");
    ASSERT_EQ(files_.Write(h_, "folder.dat", nullptr, true), 1);
    Start();
    const fs::path inbox = scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox";
    EXPECT_FALSE(fs::exists(inbox / "WN4.wnl"));
    EXPECT_TRUE(fs::exists(inbox / "WN5.wnl"));
    EXPECT_TRUE(fs::exists(inbox / "folder.dat"));
    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Root());
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(held[0].held_at, recent);
    EXPECT_EQ(held[1].path.back(), "WN4.wnl");
}

// Saves and imports as the module makes them: a save is an empty create and then the write of the
// same file; an import is a read of an import file, a save, and the import file's delete. What a
// kill leaves is checked in a child that ends at a write stage.
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
    EXPECT_TRUE(harbor::ListHeld(scratch_.Root()).empty());
    // The module deletes a file it could not import too (a mail file dropped into Import/): held.
    WriteFile(Import("letter.eml"), "Subject: hi\n\nnot a data dictionary\n");
    ASSERT_EQ(files_.Delete(h_, "letter.eml"), 1);
    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Root());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].path, (std::vector<std::string>{"Import", "letter.eml"}));
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
