// The post office confined to the data root like the file service: symbolic links planted inside
// the root (a player folder, an account's waiting mail, the spool, Import, .postoffice itself)
// never make delivery, spooling, fetching, import or account changes touch anything outside it.
#include <gtest/gtest.h>

#include <map>

#include "mail/import_file.h"
#include "mail/player_inbox.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
namespace fs = std::filesystem;

// Every file under `dir` with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        if (e.is_regular_file()) files[fs::relative(e.path(), dir).string()] = harbor_test::ReadFile(e.path());
    }
    return files;
}

// The parameter is where the link is planted inside the data root.
class ConfinementTest : public MailFixture, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        outside_ = scratch_.Path().parent_path() / (scratch_.Path().filename().string() + "-outside");
        fs::create_directories(outside_);
        // What a waiting-mail link would hand out and then delete.
        harbor_test::WriteFile(outside_ / "0000000000000001.eml", "Subject: secret\n\nsecret\n");
        harbor_test::WriteFile(outside_ / "accounts", "# not ours\n");
    }
    void TearDown() override {
        service_.reset();  // before the outside folder goes
        fs::remove_all(outside_);
        MailFixture::TearDown();
    }
    fs::path outside_;
};

TEST_P(ConfinementTest, APlantedLinkLeavesEveryOutsideFileUntouched) {
    const fs::path root = scratch_.Path();
    fs::create_directories(root / "MailBoxes" / "Players" / "p7");
    fs::create_directories(root / ".postoffice" / "waiting");
    const fs::path link = root / GetParam();
    fs::remove_all(link);
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(outside_, link);
    const auto before = Snapshot(outside_);

    service_ = std::make_unique<harbor::MailService>(Options());
    harbor::PostOffice& office = *service_->Office();
    office.Accounts().Add("bob_02", "banana");
    office.Accounts().Add("ann_01", "apple");
    office.Submit("Subject: hi\n\nx\n", {"bob_02", "p9", "p7", "ann_01"});
    office.DeliverSpool();
    const uint32_t bob = SignIn("bob_02", "banana").manager;
    for (uint32_t m = Next(bob); m != 0; m = Next(bob)) {
        EXPECT_NE(GetText(m, "Subject"), "secret") << "an outside file was handed out";
        Free(m);
    }
    std::string error;
    harbor::WriteImportFile(root, {"p7", "gran", "hello", "text/plain", "body", 1}, error);
    harbor::SaveToPlayerInbox(root, "p9", "Subject: direct\n\nx\n", false, error);
    office.Accounts().Remove("ann_01");

    EXPECT_EQ(Snapshot(outside_), before);
}

INSTANTIATE_TEST_SUITE_P(HostileLinks, ConfinementTest,
                         ::testing::Values("MailBoxes/Players/p9", ".postoffice/waiting/bob_02", ".postoffice/spool",
                                           "Import", ".postoffice", "MailBoxes"));

TEST_F(MailFixture, MailForAPlayerInAnotherCaseReachesTheOneInBox) {
    std::filesystem::create_directories(scratch_.Path() / "MailBoxes" / "Players" / "p7");
    EXPECT_TRUE(harbor::PlayerKnown(scratch_.Path(), "P7"));
    std::string error;
    EXPECT_NE(harbor::SaveToPlayerInbox(scratch_.Path(), "P7", "Subject: hi\n\nx\n", false, error), 0u) << error;
    EXPECT_TRUE(std::filesystem::exists(scratch_.Path() / "MailBoxes/Players/p7/InBox"));
    EXPECT_FALSE(std::filesystem::exists(scratch_.Path() / "MailBoxes/Players/P7"));
}

}  // namespace
