// One harbor per data root: the lock refuses a second holder, names the first, and the commands
// that write into a root wait for it and then say who has it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fileio/data_root_lock.h"
#include "fileio/file_names.h"
#include "harbor_test_support.h"

namespace {

namespace fs = std::filesystem;
using harbor::DataRootLock;
using harbor_test::ReadFile;

class DataRootLockTest : public ::testing::Test {
protected:
    DataRootLockTest() { fs::create_directories(root_); }
    std::optional<DataRootLock> Take(const char* who, int wait_ms) {
        return DataRootLock::Take(root_, who, std::chrono::milliseconds(wait_ms), problem_, in_use_);
    }
    // What a refusal names: this process, holding the root as `who`.
    static std::string Holder(const char* who) {
        return "in use by another harbor (pid " + std::to_string(::getpid()) + ", " + who + ")";
    }

    harbor_test::TempDir scratch_;
    const fs::path root_ = scratch_.Path() / "root";
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
    harbor_test::WriteFile(scratch_.Path() / "outside", "precious\n");
    fs::create_symlink(scratch_.Path() / "outside", root_ / harbor::kLockFileName);
    EXPECT_FALSE(Take("window", 0));
    EXPECT_FALSE(in_use_);
    EXPECT_NE(problem_.find("cannot be locked"), std::string::npos) << problem_;
    EXPECT_EQ(ReadFile(scratch_.Path() / "outside"), "precious\n");
}

// The account command waits for the root, then gives up with status 3 naming the holder; the
// accounts file is untouched.
TEST_F(DataRootLockTest, AccountCommandWaitsThenNamesTheHolder) {
    std::optional<DataRootLock> held = Take("window", 0);
    ASSERT_TRUE(held) << problem_;
    const fs::path err = scratch_.Path() / "err";
    const std::string command = "printf 'apple\\n' | HARBOR_PASSWORD_COST=fast " + std::string(HARBOR_PROGRAM) +
                                " account add ann_01 --data " + root_.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), harbor::kRootInUse);
    EXPECT_NE(ReadFile(err).find("account add: the data folder " + root_.string() + " is " + Holder("window")),
              std::string::npos)
        << ReadFile(err);
    EXPECT_FALSE(fs::exists(root_ / ".postoffice" / "accounts"));
    held.reset();
    EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
