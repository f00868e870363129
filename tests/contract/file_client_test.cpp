// The module's file client against Harbor's real file service in one process: every request the
// module makes is one the service takes, with the answer the module expects.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "clients/file_requests.h"
#include "fileio/file_service.h"
#include "hxmsg.h"
#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"

namespace {

namespace fs = std::filesystem;

class FileClient : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "file-client-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        files_ = std::make_unique<harbor::FileService>(root_, harbor::FileServiceOptions{false});
        files_->Attach();
        handle_ = wm::FileOpenHandle();
        ASSERT_NE(handle_, 0u);
    }
    void TearDown() override {
        wm::FileCloseHandle(handle_);
        files_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        FioQueryInterface* listing = wm::FileList(handle_);
        for (int32_t i = 0; listing != nullptr && i < listing->Count(); ++i) names.emplace_back(listing->NameAt(i));
        return names;
    }

    fs::path root_;
    std::unique_ptr<harbor::FileService> files_;
    uint32_t handle_ = 0;
};

TEST_F(FileClient, FoldersDictionariesListingAndDeletionRoundTrip) {
    const uint16_t count = wm::FetchAtom("Count");
    const uint16_t owner = wm::FetchAtom("Owner");
    wm::FileCreateDirectory(handle_, "InBox");
    wm::FileChangeDirectory(handle_, "InBox", false);
    wm::FileCreateDict(handle_, "a.wnl");
    wm::DictObject written;
    written.PutLong(count, 7);
    written.PutText(owner, "ann_01");
    wm::FileWriteDict(handle_, "a.wnl", &written);
    EXPECT_TRUE(fs::exists(root_ / "InBox" / "a.wnl"));
    EXPECT_EQ(Listed(), std::vector<std::string>{"a.wnl"});

    DictInterface* read = wm::FileReadDict(handle_, "a.wnl");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetLong(count), 7);
    EXPECT_STREQ(static_cast<const char*>(HxDeref(read->GetText(owner))), "ann_01");

    wm::FileChangeDirectory(handle_, "..", false);
    EXPECT_EQ(wm::FileReadDict(handle_, "a.wnl"), nullptr) << "back at the root";
    wm::FileChangeDirectory(handle_, "InBox", true);
    wm::FileDelete(handle_, "a.wnl");
    EXPECT_TRUE(Listed().empty());
    EXPECT_FALSE(fs::exists(root_ / "InBox" / "a.wnl"));
}

}  // namespace
