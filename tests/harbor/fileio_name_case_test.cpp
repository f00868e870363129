// Folder names are found ignoring letter case and kept as first written: "ANN_01" and "ann_01"
// are one mailbox, whichever spelling the module sends.
#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "fileio/file_handles.h"
#include "fileio/file_service.h"
#include "fileio_test_support.h"
#include "messaging/dict_object.h"

using namespace fileio_test;

namespace {

using NameCaseTest = ServiceTest;

// The post office accepted ANN_01 for ann_01, the module then opened a second mailbox
// "ANN_01" and her letters seemed to vanish.
TEST_F(NameCaseTest, OneMailboxWhateverTheCaseOfTheOwnerId) {
    wm::DictObject d;
    d.PutLong(A("MailID"), 1);
    IntoInBox("ann_01");
    ASSERT_EQ(files_.Write(h_, "WN1.wnl", &d), 1);
    IntoInBox("ANN_01");
    EXPECT_EQ(files_.Names(h_), std::vector<std::string>{"WN1.wnl"});
    IntoInBox("Ann_01");
    ASSERT_EQ(files_.Write(h_, "WN2.wnl", &d), 1);
    // Kept as first written.
    EXPECT_EQ(OnDisk(scratch_.Root() / "MailBoxes" / "kiteAccounts"), std::vector<std::string>{"ann_01"});
    EXPECT_TRUE(fs::exists(scratch_.Root() / "MailBoxes/kiteAccounts/ann_01/InBox/WN2.wnl"));
}

TEST_F(NameCaseTest, TheExactSpellingWinsThenTheFirstInNameOrder) {
    fs::create_directories(scratch_.Root() / "b");
    fs::create_directories(scratch_.Root() / "B");
    fs::create_directories(scratch_.Root() / "cc");
    const int dir = ::open(scratch_.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(dir, 0);
    EXPECT_EQ(harbor::FirstSpelling(dir, "b"), "b");
    EXPECT_EQ(harbor::FirstSpelling(dir, "B"), "B");
    EXPECT_EQ(harbor::FirstSpelling(dir, "CC"), "cc");
    EXPECT_EQ(harbor::FirstSpelling(dir, "C"), "C");    // no entry of that length
    EXPECT_EQ(harbor::FirstSpelling(dir, "new"), "new");
    ::close(dir);
}

}  // namespace
