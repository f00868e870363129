// What harbor keeps in a data root beside the module's files. The lock: one harbor per root,
// a second holder refused and told who has it, and the commands that write into a root wait for
// it. The holding area: deleted message files go there and `harbor recover` brings them back, so
// a crash between the module's delete and its Trash copy loses nothing.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "fileio/data_root_lock.h"
#include "fileio/file_names.h"
#include "fileio/held_files.h"
#include "fileio_test_support.h"
#include "mail/recover_command.h"
#include "messaging/dict_object.h"

using namespace fileio_test;

namespace {

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

TEST_F(DataRootLockTest, SecondHolderIsRefusedAndToldWhoHasTheRoot) {
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

TEST_F(DataRootLockTest, ALockFileThatIsALinkIsNotFollowed) {
    WriteBytes(scratch_.Outside() / "precious", "precious\n");
    fs::create_symlink(scratch_.Outside() / "precious", scratch_.Root() / harbor::kLockFileName);
    EXPECT_FALSE(Take("window", 0));
    EXPECT_FALSE(in_use_);
    EXPECT_NE(problem_.find("cannot be locked"), std::string::npos) << problem_;
    EXPECT_EQ(ReadBytes(scratch_.Outside() / "precious"), "precious\n");
}

// The account command waits for the root, then gives up with status 3 naming the holder; the
// accounts file is untouched.
TEST_F(DataRootLockTest, AccountCommandWaitsThenNamesTheHolder) {
    std::optional<DataRootLock> held = Take("window", 0);
    ASSERT_TRUE(held) << problem_;
    const fs::path err = scratch_.Base() / "err";
    const std::string command = "printf 'apple\\n' | HARBOR_PASSWORD_COST=fast " + std::string(HARBOR_PROGRAM) +
                                " account add ann_01 --data " + scratch_.Root().string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), harbor::kRootInUse);
    EXPECT_NE(ReadBytes(err).find("account add: the data folder " + scratch_.Root().string() + " is " + Holder("window")),
              std::string::npos)
        << ReadBytes(err);
    EXPECT_FALSE(fs::exists(scratch_.Root() / ".postoffice" / "accounts"));
    held.reset();
    EXPECT_EQ(std::system(command.c_str()), 0);
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
    const std::string before = ReadBytes(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox/WN3.wnl");
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
    EXPECT_EQ(ReadBytes(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox/WN3.wnl"), before);
    EXPECT_TRUE(harbor::ListHeld(scratch_.Root()).empty());
    EXPECT_NE(Recover({held[0].id}, 1).find("nothing is held as"), std::string::npos);
    EXPECT_NE(Recover({"../.."}, 1).find("nothing is held as"), std::string::npos);
}

TEST_F(HeldFilesTest, ARestoreNeverReplacesAFileOfThatName) {
    IntoInBox();
    WriteMessage("WN3.wnl", "Subject: old\n\nx\n");
    ASSERT_EQ(files_.Delete(h_, "WN3.wnl"), 1);
    WriteMessage("WN3.wnl", "Subject: new\n\ny\n");  // the id was handed out again
    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Root());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_NE(Recover({held[0].id}, 1).find("is there again"), std::string::npos);
    EXPECT_EQ(harbor::ListHeld(scratch_.Root()).size(), 1u);
}

TEST_F(HeldFilesTest, OnlyMessageFilesAreHeldAndTheAreaIsHiddenFromTheModule) {
    WriteMessage("folder.dat", "x");
    WriteMessage("WN12.wnl", "Subject: a\n\nb\n");
    EXPECT_EQ(files_.Delete(h_, "folder.dat"), 1);
    EXPECT_EQ(files_.Delete(h_, "WN12.wnl"), 1);
    EXPECT_EQ(harbor::ListHeld(scratch_.Root()).size(), 1u);
    EXPECT_TRUE(files_.Names(h_).empty());  // ".held" is not listed
    EXPECT_EQ(files_.Down(h_, ".held"), 0);
    EXPECT_EQ(files_.Root(h_), 1);
    EXPECT_EQ(files_.Delete(h_, ".held"), 0);
    for (const char* name : {"WN1.wnl", "WN123456.wnl"}) EXPECT_TRUE(harbor::IsMessageFile(name)) << name;
    for (const char* name : {"WN.wnl", "WNx.wnl", "wn1.wnl", "WN1.wnlx", "folder.dat"}) {
        EXPECT_FALSE(harbor::IsMessageFile(name)) << name;
    }
}

TEST_F(HeldFilesTest, EntriesOlderThanThirtyDaysAreForgottenAtStart) {
    const long long now = static_cast<long long>(std::time(nullptr));
    const long long old = now - 31LL * 24 * 60 * 60;
    const long long recent = now - 29LL * 24 * 60 * 60;
    for (long long at : {old, recent}) {
        const fs::path entry = scratch_.Root() / ".held" / (std::to_string(at) + "-1-1") / "InBox";
        fs::create_directories(entry);
        WriteBytes(entry / "WN1.wnl", "x");
    }
    Start();
    const std::vector<harbor::HeldFile> held = harbor::ListHeld(scratch_.Root());
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].held_at, recent);
}

TEST_F(HeldFilesTest, EmptyMessageFilesOfInterruptedSavesAreHeldAtStart) {
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
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].path.back(), "WN4.wnl");
}

}  // namespace
