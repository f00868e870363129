// Module objects against Harbor's real file service in one process: every request the module's file
// client makes is one the service takes, with the answer the module expects; and Harbor's delivery
// into a player's InBox and the module's store follow the one layout of docs/mailbox-layout.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "clients/file_requests.h"
#include "fileio/file_service.h"
#include "harbor_test_support.h"
#include "hxmsg.h"
#include "mail/player_inbox.h"
#include "messaging/dict_object.h"
#include "messaging/name_atoms.h"
#include "state/service_handles.h"
#include "store/mail_folder.h"
#include "store/message_file.h"

namespace {

namespace fs = std::filesystem;

class RealFileService : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root_.empty());
        files_ = std::make_unique<harbor::FileService>(root_, harbor::FileServiceOptions{false});
        files_->Attach();
        wm::OpenFileService();
        handle_ = wm::Services().file_service;
        ASSERT_NE(handle_, 0u);
    }
    void TearDown() override {
        wm::CloseFileService();
        files_.reset();
    }

    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        FioQueryInterface* listing = wm::FileList(handle_);
        for (int32_t i = 0; listing != nullptr && i < listing->Count(); ++i) names.emplace_back(listing->NameAt(i));
        return names;
    }
    uint32_t Deliver(const std::string& text) {
        std::string error;
        const uint32_t id = harbor::SaveToPlayerInbox(root_, "p7", text, false, error);
        EXPECT_NE(id, 0u) << error;
        return id;
    }
    // What the module reads from p7's message file of that id: its MailID and its text.
    std::pair<uint32_t, std::string> ModuleReads(uint32_t id) {
        char name[wm::kMessageFileNameSize];
        wm::FormatMessageFileName(name, id);
        wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
        uint32_t stored = 0;
        const char* text = wm::LoadMessageFile(name, &stored);
        return {stored, text != nullptr ? text : "(no file)"};
    }
    static void PutLastId(uint32_t id) {
        wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
        wm::WriteLastId(id);
    }

    harbor_test::TempDir scratch_;
    const fs::path& root_ = scratch_.Path();
    std::unique_ptr<harbor::FileService> files_;
    uint32_t handle_ = 0;
};

TEST_F(RealFileService, FoldersDictionariesListingAndDeletionRoundTrip) {
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

TEST_F(RealFileService, HarborsIdsWrapAndSkipLikeTheModulesAndTheModuleReadsThem) {
    wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
    EXPECT_EQ(Deliver("first"), 2u);  // a new folder counts LastID as 1
    PutLastId(99998);
    EXPECT_EQ(Deliver("z"), 99999u);
    PutLastId(99998);
    EXPECT_EQ(Deliver("a"), 100000u);  // 99999 is taken; 100000 is still in the range
    EXPECT_EQ(Deliver("a2"), 100001u);  // the first candidate is taken as it comes
    PutLastId(99999);
    EXPECT_EQ(Deliver("b"), 1u);  // 100000 is taken: the search wraps
    EXPECT_EQ(Deliver("c"), 3u);  // 2 is taken
    EXPECT_EQ(ModuleReads(100000), std::make_pair(100000u, std::string("a")));
    EXPECT_EQ(ModuleReads(1), std::make_pair(1u, std::string("b")));
    EXPECT_EQ(wm::ReadLastId(), 3u);
}

TEST_F(RealFileService, IdsBeyondTheRangeKeepTheModulesSignedFileNames) {
    PutLastId(0xFFFFFFF0u);
    const uint32_t id = Deliver("far");
    EXPECT_EQ(id, 0xFFFFFFF1u);
    EXPECT_TRUE(fs::exists(root_ / "MailBoxes/Players/p7/InBox/WN-15.wnl"));
    EXPECT_EQ(ModuleReads(id), std::make_pair(id, std::string("far")));
}

}  // namespace
