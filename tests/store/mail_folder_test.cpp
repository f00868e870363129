#include <vector>

#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "store/trash.h"
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
    files_.PutLastId(kAnnInBox, 41);
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
        files_.PutLastId(kAnnInBox, c.lastId);
        for (uint32_t id : c.taken) files_.PutMessage(kAnnInBox, id, "old");
        EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("new")), c.expected);
        EXPECT_EQ(StoredLastId(kAnnInBox), static_cast<int32_t>(c.expected));
        EXPECT_EQ(Dir(kAnnInBox).files.size(), c.taken.size() + 2);
    }
}

TEST_F(MailFolderTest, AFullFolderTakesNothing) {
    wm::OpenMailFolder("ann_01", 1, 2);
    for (uint32_t id = 1; id <= wm::kMaxMessageId; ++id) files_.PutMessage(kAnnInBox, id, "");
    files_.PutLastId(kAnnInBox, 0);
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
    files_.PutMessage(kAnnInBox, 17, "stored");
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

std::vector<uint32_t> Ids(const wm::MessageHeaderList& list) {
    std::vector<uint32_t> ids;
    for (const wm::MessageHeader* h = list.Head(); h != nullptr; h = h->next) ids.push_back(h->mail_id);
    return ids;
}

// Walking backwards must give the same nodes: the prev links are right.
std::vector<uint32_t> IdsBackwards(const wm::MessageHeaderList& list) {
    std::vector<uint32_t> ids;
    for (const wm::MessageHeader* h = list.Tail(); h != nullptr; h = h->prev) ids.insert(ids.begin(), h->mail_id);
    return ids;
}

TEST(HeaderList, AppendTakesANullSubjectAndMovesTheCursor) {
    wm::MessageHeaderList list;
    wm::AppendHeader(&list, "ann_01", nullptr, 77, 1, 1);
    wm::AppendHeader(&list, "bo", "Hi", 78, 2, 2);
    EXPECT_EQ(list.Head()->from, "ann_01");
    EXPECT_EQ(list.Head()->subject, "");
    EXPECT_EQ(list.Head()->date, 77u);
    EXPECT_EQ(list.Cursor(), list.Tail());
    EXPECT_EQ(list.Tail()->box_kind, 2u);
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{1, 2}));
}

TEST(HeaderList, RemoveUnlinksByKindAndIdWherever) {
    wm::MessageHeaderList list;
    for (uint32_t id : {1u, 2u, 3u, 4u}) wm::AppendHeader(&list, "a", "s", 0, id, 1);
    wm::AppendHeader(&list, "a", "s", 0, 2, 2);
    wm::RemoveHeader(&list, 2, 2);  // tail, behind a kind-1 header of the same id: the cursor on it goes
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(list.Cursor(), nullptr);
    EXPECT_EQ(list.Tail()->mail_id, 4u);
    EXPECT_EQ(list.Tail()->next, nullptr);
    wm::RemoveHeader(&list, 1, 2);  // middle
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{1, 3, 4}));
    wm::RemoveHeader(&list, 1, 1);  // head
    EXPECT_EQ(list.Head()->prev, nullptr);
    EXPECT_EQ(Ids(list), IdsBackwards(list));
    wm::RemoveHeader(&list, 1, 9);  // none
    wm::RemoveHeader(nullptr, 1, 3);
    EXPECT_EQ(Ids(list), (std::vector<uint32_t>{3, 4}));
    wm::RemoveHeader(&list, 1, 4);
    wm::RemoveHeader(&list, 1, 3);  // the only one left
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Tail(), nullptr);
}

class TrashTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        wm::Identity().SetPlayerId("p7");
        wm::Identity().SetKiteLogin("ann_01", "pw");
        wm::CreateHeaderList();
    }
    wm::MessageHeaderList& Headers() { return *wm::Services().header_list; }
};

TEST_F(TrashTest, TrashingMovesTheMessageUnderANewIdAndDropsOnlyItsHeader) {
    files_.PutMessage(kAnnInBox, 17, "the text");
    files_.PutLastId(kAnnInBox, 17);
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 17, 2);
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 17, 1);
    wm::TrashMessage(1, 17);
    EXPECT_EQ(Dir(kAnnInBox).files.count("WN17.wnl"), 0u);
    ASSERT_EQ(Dir(kAnnTrash).files.count("WN2.wnl"), 1u);  // the Trash's own numbering
    EXPECT_EQ(Dir(kAnnTrash).files["WN2.wnl"][0].text, "the text");
    ASSERT_EQ(Headers().Size(), 1u);
    EXPECT_EQ(Headers().Head()->box_kind, 2u);
    EXPECT_EQ(mail_.created, 1);
    EXPECT_TRUE(mail_.objects.empty());  // the message object was released
    EXPECT_EQ(Current(), kAnnTrash);
}

TEST_F(TrashTest, AVanishedOrDamagedFileIsDeletedAndNothingReachesTheTrash) {
    wm::OpenMailFolder("ann_01", 1, 2);
    Dir(kAnnInBox).unreadable["WN4.wnl"] = "damaged";
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 4, 1);
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 5, 1);
    wm::TrashMessage(1, 4);
    wm::TrashMessage(1, 5);
    EXPECT_EQ(Headers().Size(), 0u);
    EXPECT_TRUE(Dir(kAnnInBox).unreadable.empty());
    EXPECT_EQ(Dir({"MailBoxes", "kiteAccounts", "ann_01"}).dirs.count("Trash"), 0u);
    EXPECT_EQ(mail_.created, 0);
}

TEST_F(TrashTest, EmptyingDeletesEveryFileSoIdsStartAgain) {
    for (uint32_t id : {2u, 3u}) files_.PutMessage(kAnnTrash, id, "old");
    files_.PutLastId(kAnnTrash, 3);
    Dir(kAnnTrash).unreadable["stray.tmp"] = "x";
    files_.PutMessage(kAnnInBox, 9, "kept");
    wm::EmptyTrash("ann_01", 1);
    EXPECT_TRUE(Dir(kAnnTrash).files.empty());
    EXPECT_TRUE(Dir(kAnnTrash).unreadable.empty());
    EXPECT_EQ(Dir(kAnnInBox).files.size(), 1u);
    EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("again")), 2u);
}

}  // namespace
