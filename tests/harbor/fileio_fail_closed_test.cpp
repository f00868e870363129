// A change of folder that fails leaves the handle in no folder: a module that does not look at
// the answer lists nothing and writes, reads, creates and deletes nothing until ROOT (or PARENT
// back past the failed step) puts it in a folder again.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "fileio/atomic_file.h"
#include "fileio/file_service.h"
#include "fileio/unique_fd.h"
#include "fileio_test_support.h"
#include "messaging/dict_object.h"

using namespace fileio_test;

namespace {

class FailClosedTest : public ServiceTest {
protected:
    void SetUp() override {
        ServiceTest::SetUp();
        WriteBytes(scratch_.Root() / "precious.dat", "precious");
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
    WriteBytes(scratch_.Root() / "Import", "x");
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
        ExpectNothingDoneHere(name);
        EXPECT_EQ(files_.Root(h_), 1);
        EXPECT_FALSE(files_.Names(h_).empty());
    }
    fs::permissions(scratch_.Root() / "Locked", fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(scratch_.Root() / "precious.dat"), "precious");
    EXPECT_TRUE(fs::is_empty(scratch_.Outside()));
}

TEST_F(FailClosedTest, RefusedOwnerIdsReachNoSharedFolder) {
    ASSERT_EQ(files_.MakeDir(h_, "MailBoxes"), 1);
    ASSERT_EQ(files_.Down(h_, "MailBoxes"), 1);
    ASSERT_EQ(files_.MakeDir(h_, "Players"), 1);
    ASSERT_EQ(files_.Down(h_, "Players"), 1);
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

// A kite account whose InBox cannot be entered used to get fetched mail one level up.
TEST_F(FailClosedTest, AnInboxThatCannotBeEnteredTakesNoMailAnywhere) {
    fs::create_directories(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01");
    WriteBytes(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox", "not a folder");
    ASSERT_EQ(files_.Down(h_, "MailBoxes", true), 1);
    ASSERT_EQ(files_.Down(h_, "kiteAccounts"), 1);
    ASSERT_EQ(files_.Down(h_, "ann_01"), 1);
    EXPECT_EQ(files_.Down(h_, "InBox"), 0);
    ExpectNothingDoneHere("InBox");
    EXPECT_EQ(OnDisk(scratch_.Root(), true),
              (std::vector<std::string>{"MailBoxes", "MailBoxes/kiteAccounts", "MailBoxes/kiteAccounts/ann_01",
                                        "MailBoxes/kiteAccounts/ann_01/InBox", "precious.dat"}));
    EXPECT_EQ(service_->LastUsedDirectory(), std::nullopt);
}

// A write that fails once its temporary file exists (here at the file size limit, in a child
// process) takes the temporary file away with it.
TEST(AtomicWriteTest, AFailedWriteLeavesNoTemporaryFile) {
    Scratch scratch;
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit small{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &small);
        std::signal(SIGXFSZ, SIG_IGN);
        const harbor::UniqueFd dir(::open(scratch.Outside().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        std::string error;
        ::_exit(harbor::WriteAtomically(dir.Get(), "letter", std::string(4096, 'x'), false, {}, error) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "the write should have failed";
    EXPECT_TRUE(fs::is_empty(scratch.Outside()));
}

}  // namespace
