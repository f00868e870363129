#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store_fixture.h"

namespace {

using MailFolderTest = StoreTest;

TEST_F(MailFolderTest, OpenMailFolderWalksDownAsFarAsItsArgumentsGo) {
    struct Case { const char* owner; uint32_t kind, folder; Path expected; };
    const Case cases[] = {
        {"ann_01", 1, 2, {"MailBoxes", "kiteAccounts", "ann_01", "InBox"}},
        {"p7", 2, 1, {"MailBoxes", "Players", "p7", "OutBox"}},
        {"p7", 9, 3, {"MailBoxes", "Players", "p7", "Trash"}},
        {"p7", 2, 7, {"MailBoxes", "Players", "p7"}},
        {nullptr, 1, 2, {"MailBoxes", "kiteAccounts"}},
        {"ann_01", 0, 2, {"MailBoxes"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.owner != nullptr ? c.owner : "(null)");
        wm::FileChangeDirectory(Handle(), "MailBoxes", false);  // somewhere else first
        wm::OpenMailFolder(c.owner, c.kind, c.folder);
        EXPECT_EQ(Current(), c.expected);
    }
    EXPECT_EQ(Dir({"MailBoxes"}).dirs.size(), 2u);  // nothing created beyond the levels walked
}

TEST_F(MailFolderTest, ReadLastIdCreatesAMissingCounterAndReadsAMissingKeyAsZero) {
    wm::OpenMailFolder("ann_01", 1, 2);
    EXPECT_EQ(wm::ReadLastId(), 1u);
    ASSERT_EQ(Dir(kAnnInBox).files.count("folder.dat"), 1u);
    EXPECT_TRUE(Dir(kAnnInBox).files["folder.dat"].empty());
    EXPECT_EQ(wm::ReadLastId(), 0u);
    PutLastId(kAnnInBox, 41);
    EXPECT_EQ(wm::ReadLastId(), 41u);
    wm::WriteLastId(42);
    EXPECT_EQ(Dir(kAnnInBox).files["folder.dat"], (StoredDict{{Atom("LastID"), EDictLong, 42, ""}}));
}

TEST_F(MailFolderTest, SavingAMessageWritesCounterThenFileWithMessageThenMailId) {
    wm::OpenMailFolder("ann_01", 1, 2);
    const uint32_t message = mail_.Make("From: a\r\n\r\nHello");
    EXPECT_EQ(wm::SaveMessageToFolder(message), 2u);  // no folder.dat: 1 + 1
    EXPECT_EQ(StoredLastId(kAnnInBox), 2);
    EXPECT_EQ(Dir(kAnnInBox).files.at("WN2.wnl"), (StoredDict{{atoms::mail::Message, EDictText, 0, "From: a\r\n\r\nHello"},
                                                           {Atom("MailID"), EDictLong, 2, ""}}));
    // Each file is created empty and then written; the counter goes first.
    EXPECT_EQ(files_.writeLog, (std::vector<std::string>{"folder.dat create", "folder.dat create", "folder.dat write",
                                                "WN2.wnl create", "WN2.wnl write"}));
}

TEST_F(MailFolderTest, TheIdSearchSkipsTakenIdsAndWrapsAtOneHundredThousand) {
    struct Case { int32_t lastId; std::vector<uint32_t> taken; uint32_t expected; };
    const Case cases[] = {
        {5, {6, 7}, 8},
        {100000, {}, 100001},
        {100000, {100001}, 1},
        {99999, {100000, 1, 2}, 3},
        {99998, {99999}, 100000},
        {0, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastId);
        Dir(kAnnInBox) = {};
        wm::OpenMailFolder("ann_01", 1, 2);
        PutLastId(kAnnInBox, c.lastId);
        for (uint32_t id : c.taken) PutMessage(kAnnInBox, id, "old");
        EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("new")), c.expected);
        EXPECT_EQ(StoredLastId(kAnnInBox), static_cast<int32_t>(c.expected));
        EXPECT_EQ(Dir(kAnnInBox).files.size(), c.taken.size() + 2);
    }
}

TEST_F(MailFolderTest, AFullFolderTakesNothing) {
    wm::OpenMailFolder("ann_01", 1, 2);
    for (uint32_t id = 1; id <= wm::kMaxMessageId; ++id) PutMessage(kAnnInBox, id, "");
    PutLastId(kAnnInBox, 0);
    host_.Forget();
    EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("new")), 0u);
    EXPECT_EQ(host_.log.Count(atoms::files::FileIOPort, code::kWriteDict), 0u);
    EXPECT_EQ(files_.reads, 100001);
}

// Handle 0: no request reaches the service, from the store or from the client itself.
TEST_F(MailFolderTest, WithoutFileServiceNothingIsSentOrSaved) {
    wm::Services().file_service = 0;
    host_.Forget();
    wm::OpenMailFolder("ann_01", 1, 2);
    EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("new")), 0u);
    uint32_t id = 77;
    EXPECT_EQ(wm::LoadMessageById(1, &id), nullptr);
    wm::DictObject dict;
    wm::FileCreateDict(0, "a.wnl");
    wm::FileWriteDict(0, "a.wnl", &dict);
    wm::FileDelete(0, "a.wnl");
    EXPECT_EQ(wm::FileList(0), nullptr);
    EXPECT_EQ(host_.log.Count(atoms::files::FileIOPort), 0u);
}

TEST_F(MailFolderTest, LoadingReadsTextAndIdOrLeavesTheIdAlone) {
    wm::OpenMailFolder("ann_01", 1, 2);
    PutMessage(kAnnInBox, 17, "stored");
    Dir(kAnnInBox).files["WN18.wnl"] = {{atoms::mail::Message, EDictText, 0, "no id"}};
    Dir(kAnnInBox).unreadable["WN19.wnl"] = "damaged";
    uint32_t id = 0;
    EXPECT_STREQ(wm::LoadMessageById(17, &id), "stored");
    EXPECT_EQ(id, 17u);
    EXPECT_STREQ(wm::LoadMessageFile("WN18.wnl", &id), "no id");
    EXPECT_EQ(id, 0u);
    id = 5;
    EXPECT_EQ(wm::LoadMessageById(19, &id), nullptr);
    EXPECT_EQ(wm::LoadMessageById(20, &id), nullptr);
    EXPECT_EQ(id, 5u);
    EXPECT_TRUE(wm::MessageFileExists(17));
    EXPECT_FALSE(wm::MessageFileExists(19));
}

}  // namespace
