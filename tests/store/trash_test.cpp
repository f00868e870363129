#include <vector>

#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/message_header_list.h"
#include "store/trash.h"
#include "store_fixture.h"

namespace {

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
    PutMessage(kAnnInBox, 17, "the text");
    PutLastId(kAnnInBox, 17);
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
    for (uint32_t id : {2u, 3u}) PutMessage(kAnnTrash, id, "old");
    PutLastId(kAnnTrash, 3);
    Dir(kAnnTrash).unreadable["stray.tmp"] = "x";
    PutMessage(kAnnInBox, 9, "kept");
    wm::EmptyTrash("ann_01", 1);
    EXPECT_TRUE(Dir(kAnnTrash).files.empty());
    EXPECT_TRUE(Dir(kAnnTrash).unreadable.empty());
    EXPECT_EQ(Dir(kAnnInBox).files.size(), 1u);
    EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("again")), 2u);
}

}  // namespace
