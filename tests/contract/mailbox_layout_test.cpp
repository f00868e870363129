// Harbor's post office delivers into a player's InBox and the module's store reads it back, over
// Harbor's real file service in one process: both sides follow docs/mailbox-layout.md.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "fileio/file_service.h"
#include "mail/player_inbox.h"
#include "state/service_handles.h"
#include "store/mail_folder.h"
#include "store/message_file.h"

namespace {

namespace fs = std::filesystem;

class MailboxLayout : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "mailbox-layout-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        files_ = std::make_unique<harbor::FileService>(root_, harbor::FileServiceOptions{false});
        files_->Attach();
        wm::OpenFileService();
        ASSERT_NE(wm::Services().file_service, 0u);
        wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);  // the module makes the mailbox
    }
    void TearDown() override {
        wm::CloseFileService();
        files_.reset();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    uint32_t Deliver(const std::string& text) {
        std::string error;
        const uint32_t id = harbor::SaveToPlayerInbox(root_, "p7", text, false, error);
        EXPECT_NE(id, 0u) << error;
        return id;
    }

    // What the module reads from the file of that id (its MailID, its text).
    std::pair<uint32_t, std::string> ModuleReads(uint32_t id) {
        char name[wm::kMessageFileNameSize];
        wm::FormatMessageFileName(name, id);
        wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
        uint32_t stored = 0;
        const char* text = wm::LoadMessageFile(name, &stored);
        return {stored, text != nullptr ? text : "(no file)"};
    }

    fs::path root_;
    std::unique_ptr<harbor::FileService> files_;
};

TEST_F(MailboxLayout, HarborsIdsWrapAndSkipLikeTheModulesAndTheModuleReadsThem) {
    EXPECT_EQ(Deliver("first"), 2u);  // a new folder counts LastID as 1
    wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
    wm::WriteLastId(99999);
    EXPECT_EQ(Deliver("a"), 100000u);
    EXPECT_EQ(Deliver("a2"), 100001u);  // the first candidate is taken as it comes
    wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
    wm::WriteLastId(99999);
    EXPECT_EQ(Deliver("b"), 1u);  // 100000 is taken: the search wraps
    EXPECT_EQ(Deliver("c"), 3u);  // 2 is taken
    EXPECT_EQ(ModuleReads(100000), std::make_pair(100000u, std::string("a")));
    EXPECT_EQ(ModuleReads(1), std::make_pair(1u, std::string("b")));
    wm::OpenMailFolder("p7", wm::OwnerPlayer, wm::FolderInBox);
    EXPECT_EQ(wm::ReadLastId(), 3u);
}

TEST_F(MailboxLayout, IdsBeyondTheRangeKeepTheModulesSignedFileNames) {
    wm::WriteLastId(0xFFFFFFF0u);
    const uint32_t id = Deliver("far");
    EXPECT_EQ(id, 0xFFFFFFF1u);
    EXPECT_TRUE(fs::exists(root_ / "MailBoxes/Players/p7/InBox/WN-15.wnl"));
    EXPECT_EQ(ModuleReads(id), std::make_pair(id, std::string("far")));
}

}  // namespace
