#include "store/mail_folder.h"
#include "store/message_file.h"
#include "store/trash.h"
#include "store_fixture.h"

namespace {

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
    PutMessage(kKiteInBox, 17, "the text");
    PutLastId(kKiteInBox, 17);
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 17, 2);
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 17, 1);
    wm::TrashMessage(1, 17);
    EXPECT_EQ(Dir(kKiteInBox).files.count("WN17.wnl"), 0u);
    ASSERT_EQ(Dir(kKiteTrash).files.count("WN2.wnl"), 1u);  // the Trash's own numbering
    EXPECT_EQ(Dir(kKiteTrash).files["WN2.wnl"][0].text, "the text");
    ASSERT_EQ(Headers().Size(), 1u);
    EXPECT_EQ(Headers().Head()->box_kind, 2u);
    EXPECT_EQ(mail_.created, 1);
    EXPECT_TRUE(mail_.objects.empty());  // the message object was released
    EXPECT_EQ(Current(), kKiteTrash);
}

TEST_F(TrashTest, TheOwnerOfKindTwoIsThePlayer) {
    const Path inbox = {"MailBoxes", "Players", "p7", "InBox"};
    PutMessage(inbox, 3, "player mail");
    wm::TrashMessage(2, 3);
    EXPECT_EQ(Dir(inbox).files.count("WN3.wnl"), 0u);
    EXPECT_EQ(Dir({"MailBoxes", "Players", "p7", "Trash"}).files.count("WN2.wnl"), 1u);
}

TEST_F(TrashTest, AVanishedOrDamagedFileIsDeletedAndNothingReachesTheTrash) {
    wm::OpenMailFolder("ann_01", 1, 2);
    Dir(kKiteInBox).unreadable["WN4.wnl"] = "damaged";
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 4, 1);
    wm::AppendHeader(&Headers(), "bo", "hi", 1, 5, 1);
    wm::TrashMessage(1, 4);
    wm::TrashMessage(1, 5);
    EXPECT_EQ(Headers().Size(), 0u);
    EXPECT_TRUE(Dir(kKiteInBox).unreadable.empty());
    EXPECT_EQ(Dir({"MailBoxes", "kiteAccounts", "ann_01"}).dirs.count("Trash"), 0u);
    EXPECT_EQ(mail_.created, 0);
}

TEST_F(TrashTest, EmptyingDeletesEveryFileSoIdsStartAgain) {
    for (uint32_t id : {2u, 3u}) PutMessage(kKiteTrash, id, "old");
    PutLastId(kKiteTrash, 3);
    Dir(kKiteTrash).unreadable["stray.tmp"] = "x";
    PutMessage(kKiteInBox, 9, "kept");
    wm::EmptyTrash("ann_01", 1);
    EXPECT_TRUE(Dir(kKiteTrash).files.empty());
    EXPECT_TRUE(Dir(kKiteTrash).unreadable.empty());
    EXPECT_EQ(Dir(kKiteInBox).files.size(), 1u);
    EXPECT_EQ(wm::SaveMessageToFolder(mail_.Make("again")), 2u);
}

}  // namespace
