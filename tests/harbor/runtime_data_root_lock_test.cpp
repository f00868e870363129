// One harbor per data root: the lock refuses a second holder, names the first, and the commands
// that write into a root wait for it and then say who has it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fileio/file_names.h"
#include "fileio/data_root_lock.h"

namespace {

namespace fs = std::filesystem;
using harbor::DataRootLock;

fs::path FreshRoot(const std::string& name) {
    const fs::path root = fs::path(::testing::TempDir()) / ("lock-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    return root;
}

TEST(DataRootLockTest, SecondHolderIsRefusedAndToldWhoHasTheRoot) {
    const fs::path root = FreshRoot("second");
    std::string problem;
    bool in_use = true;
    std::optional<DataRootLock> first = DataRootLock::Take(root, "window", std::chrono::milliseconds(0), problem, in_use);
    ASSERT_TRUE(first) << problem;
    EXPECT_FALSE(in_use);

    // flock belongs to the open file, so a second take in this same process is refused too.
    EXPECT_FALSE(DataRootLock::Take(root, "script", std::chrono::milliseconds(100), problem, in_use));
    EXPECT_TRUE(in_use);
    EXPECT_NE(problem.find("in use by another harbor (pid " + std::to_string(::getpid()) + ", window)"), std::string::npos)
        << problem;

    first.reset();
    EXPECT_TRUE(DataRootLock::Take(root, "script", std::chrono::milliseconds(0), problem, in_use));
    // The module never sees the lock file.
    EXPECT_NE(harbor::RefusedName(harbor::kLockFileName), nullptr);
}

TEST(DataRootLockTest, ALockFileThatIsALinkIsNotFollowed) {
    const fs::path root = FreshRoot("link");
    const fs::path outside = root.parent_path() / ("lock-outside-" + std::to_string(::getpid()));
    std::ofstream(outside) << "precious\n";
    fs::create_symlink(outside, root / harbor::kLockFileName);
    std::string problem;
    bool in_use = true;
    EXPECT_FALSE(DataRootLock::Take(root, "window", std::chrono::milliseconds(0), problem, in_use));
    EXPECT_FALSE(in_use);
    EXPECT_NE(problem.find("cannot be locked"), std::string::npos) << problem;
    std::ifstream in(outside);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "precious");
    fs::remove(outside);
}

// The account command waits for the root, then gives up with status 3 naming the holder; the
// accounts file is untouched.
TEST(DataRootLockTest, AccountCommandWaitsThenNamesTheHolder) {
    const fs::path root = FreshRoot("command");
    std::string problem;
    bool in_use = false;
    std::optional<DataRootLock> held = DataRootLock::Take(root, "window", std::chrono::milliseconds(0), problem, in_use);
    ASSERT_TRUE(held) << problem;
    const fs::path err = root.parent_path() / ("lock-err-" + std::to_string(::getpid()));
    const std::string command = "printf 'apple\\n' | HARBOR_PASSWORD_COST=fast " + std::string(HARBOR_PROGRAM) +
                                " account add ann_01 --data " + root.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), harbor::kRootInUse);
    std::stringstream said;
    said << std::ifstream(err).rdbuf();
    EXPECT_NE(said.str().find("account add: the data folder " + root.string() + " is in use by another harbor (pid " +
                              std::to_string(::getpid()) + ", window)"),
              std::string::npos)
        << said.str();
    EXPECT_FALSE(fs::exists(root / ".postoffice" / "accounts"));
    held.reset();
    EXPECT_EQ(std::system(command.c_str()), 0);
    fs::remove(err);
}

}  // namespace
