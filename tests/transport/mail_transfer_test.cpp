#include <gtest/gtest.h>

#include "../controls/request_fields.h"
#include "store/message_file.h"
#include "transport/mail_transfer.h"
#include "transport_fixture.h"

namespace {

class MailTransferTest : public TransportTest {
protected:
    void SetUp() override {
        TransportTest::SetUp();
        HxPortAttach(atoms::PM, &PM_Main);
    }
    // The player's mailbox with ann_01 signed in, the main scene entered.
    void SignedInOnMain() {
        Start("p7");
        wm::Identity().SetKiteLogin("ann_01", "apple");
        wm::Services().mail_manager = 70;
        Deliver(atoms::ports::WrenmailMainPort, code::kEntered);
        // The first start runs Get/Send by itself; the tests start theirs after it.
        for (int step = 0; step < 4; ++step) Advance(10);
        host_.Forget();
        host_.scenes.textsShown.clear();
    }
    void GetSend() { Click(atoms::ports::WrenmailMainPort, Atom("BtnWnUpdate")); }
    size_t Posts(uint16_t port, uint16_t action) const { return host_.Requests(port, action).size(); }
    size_t Downloads() const { return host_.Delivered(atoms::ports::WrenmailMainPort, atoms::actions::aOnMailDownloaded).size(); }
};

TEST_F(MailTransferTest, GetSendSendsTheOutboxThenFetchesWithBothNoticesInOrder) {
    SignedInOnMain();
    const std::string first = FakeMailServer::DataOf("ann_01", "One", 1, "bob_02");
    const std::string second = FakeMailServer::DataOf("ann_01", "Two", 2, "bob_02");
    files_.PutMessage(kAnnOutBox, 1, first);
    files_.PutMessage(kAnnOutBox, 2, second);
    files_.PutLastId(kAnnOutBox, 2);
    mail_.waiting = {FakeMailServer::DataOf("bob_02", "Hello", 100, "ann_01"),
                     FakeMailServer::DataOf("cy_03", "Kites", 200, "ann_01")};
    files_.PutMessage(kAnnTrash, 4, "old");

    GetSend();
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, atoms::dialogs::SendingMail);
    EXPECT_EQ(Deliveries(host_.Requests(atoms::PM, atoms::actions::aWrenmailSendMail)), Lines{"post 10"});
    EXPECT_TRUE(files_.At(kAnnTrash).files.empty());
    EXPECT_TRUE(mail_.sent.empty());  // nothing happens before the posted step arrives

    Advance(10);
    EXPECT_EQ(mail_.sent, (Lines{first, second}));
    EXPECT_TRUE(files_.At(kAnnOutBox).files.empty());
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(Posts(atoms::PM, atoms::actions::aOnMailUploaded), 1u);

    Advance(10);
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, atoms::dialogs::GettingMail);
    EXPECT_TRUE(files_.At(kAnnInBox).files.empty());

    Advance(10);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(Headers(), (Lines{"1/2 bob_02: Hello", "1/3 cy_03: Kites"}));
    EXPECT_NE(files_.MessageText(kAnnInBox, "WN2.wnl").find("Subject=Hello"), std::string::npos);
    EXPECT_NE(files_.MessageText(kAnnInBox, "WN3.wnl").find("Subject=Kites"), std::string::npos);
    EXPECT_EQ(wm::Services().header_list->Tail()->date, 200u);
    EXPECT_TRUE(mail_.objects.empty());  // every message object was freed
    EXPECT_EQ(Downloads(), 0u);
    Advance(10);
    EXPECT_EQ(Downloads(), 1u);

    EXPECT_EQ(DialogTexts(), (Lines{wm::kSendingMailText, wm::kGettingMailText}));
    // Both notices go without an OK button.
    EXPECT_TRUE(About(atoms::ports::ScWnMain, code::kStart, atoms::SPRITENAME, atoms::dialog_sprites::BtnCoOk).empty());
}

TEST_F(MailTransferTest, WithoutKiteIdOnlyThePlayersTrashIsEmptied) {
    Start("p7");
    Deliver(atoms::ports::WrenmailMainPort, code::kEntered);
    files_.PutMessage(kP7Trash, 1, "gone");
    files_.PutMessage(kAnnTrash, 1, "kept");
    host_.Forget();

    wm::StartSendAndFetch();
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_TRUE(host_.Requests(atoms::PM).empty());
    EXPECT_TRUE(files_.At(kP7Trash).files.empty());
    EXPECT_EQ(files_.At(kAnnTrash).files.size(), 1u);
}

TEST_F(MailTransferTest, NoWaitingMailOrNoManagerMovesNothingAndTheChainGoesOn) {
    SignedInOnMain();
    wm::FetchNewMail();
    EXPECT_TRUE(files_.At(kAnnInBox).files.empty());
    EXPECT_TRUE(Headers().empty());
    const auto done = host_.Requests(atoms::ports::WrenmailMainPort, atoms::actions::aOnMailDownloaded);
    EXPECT_EQ(Deliveries(done), Lines{"post 10"});

    wm::Services().mail_manager = 0;
    mail_.waiting = {FakeMailServer::DataOf("bob_02", "Hello", 1)};
    files_.PutMessage(kAnnOutBox, 1, "keep me");
    wm::SendOutbox();
    wm::FetchNewMail();
    EXPECT_EQ(mail_.waiting.size(), 1u);
    EXPECT_EQ(files_.At(kAnnOutBox).files.size(), 1u);
    EXPECT_EQ(Posts(atoms::PM, atoms::actions::aOnMailUploaded), 1u);
    EXPECT_EQ(Posts(atoms::ports::WrenmailMainPort, atoms::actions::aOnMailDownloaded), 2u);
}

TEST_F(MailTransferTest, RefusedAndUnreadableOutboxFilesAreDeletedAllTheSame) {
    SignedInOnMain();
    mail_.sendSucceeds = false;
    files_.PutMessage(kAnnOutBox, 1, FakeMailServer::DataOf("ann_01", "Lost", 1));
    files_.At(kAnnOutBox).unreadable["WN2.wnl"] = "";
    files_.At(kAnnOutBox).files["notes.txt"] = {};
    wm::SendOutbox();
    EXPECT_TRUE(files_.At(kAnnOutBox).files.empty());
    EXPECT_TRUE(files_.At(kAnnOutBox).unreadable.empty());
    // The unreadable one went out as an empty message; notes.txt was no message file.
    ASSERT_EQ(mail_.sent.size(), 2u);
    EXPECT_EQ(mail_.sent[1], FakeMailServer::DataOf("", "", 0));
    EXPECT_TRUE(mail_.objects.empty());
}

TEST_F(MailTransferTest, AFullInboxAddsNoHeaderAndReleasesTheMessage) {
    SignedInOnMain();
    files_.PutLastId(kAnnInBox, 7);
    for (uint32_t id = 1; id <= wm::kMaxMessageId; ++id) {
        files_.At(kAnnInBox).files["WN" + std::to_string(id) + ".wnl"] = {};
    }
    mail_.waiting = {FakeMailServer::DataOf("bob_02", "Hello", 1)};
    wm::FetchNewMail();
    EXPECT_TRUE(Headers().empty());
    EXPECT_TRUE(mail_.waiting.empty());
    EXPECT_TRUE(mail_.objects.empty());
}

}  // namespace
