#include <gtest/gtest.h>

#include "clients/file_requests.h"
#include "store/header_list_builder.h"
#include "store/message_body.h"
#include "store/message_import.h"
#include "store/stored_names.h"
#include "clients/mail_requests.h"
#include "transport_fixture.h"

namespace {

class StoredMailTest : public TransportTest {
protected:
    // A message with parts of the given content types, each part's body naming its type.
    uint32_t WithParts(const std::vector<std::string>& types) {
        FakeObject message;
        message.texts[atoms::mail::Body] = "own body";
        for (const std::string& type : types) {
            FakeObject part;
            part.isPart = true;
            part.texts[atoms::mail::ContentType] = type;
            part.texts[atoms::mail::Body] = "body of " + type;
            message.parts.push_back(mail_.Add(part));
        }
        return mail_.Add(message);
    }
    static std::string Select(uint32_t message, uint8_t* rich) {
        const char* text = wm::SelectMessageBody(message, rich);
        return text != nullptr ? text : "(null)";
    }
};

TEST_F(StoredMailTest, MessageFileNamesAreTheOnesWhoseSecondTokenIsWnl) {
    for (const char* name : {"WN12.wnl", "WN12.wnl.old", "WN12..wnl"}) EXPECT_TRUE(wm::IsMessageFileName(name)) << name;
    for (const char* name : {"folder.dat", "WN12.WNL", "wnl", ".wnl", "a.b.wnl", static_cast<const char*>(nullptr)}) {
        EXPECT_FALSE(wm::IsMessageFileName(name)) << (name != nullptr ? name : "(null)");
    }
}

// Imports run before the mailbox is listed, so the player's list at start already holds them.
TEST_F(StoredMailTest, ImportsAtStartAreInThePlayersFirstList) {
    PutImport("mail-1.dct", {"p7", "gran", "Hello", "text/wrenmail", "A <kite> for you", 1234});
    Start("p7");
    EXPECT_EQ(Headers(), std::vector<std::string>{"2/2 gran: Hello"});
    EXPECT_EQ(importReadsOutsideImport_, 0);
}

TEST_F(StoredMailTest, ImportTextsAreCutToTheirBuffersAndImportsWithoutAUsablePlayerAreDropped) {
    PutImport("long.dct", {"p7", std::string(200, 'f'), std::string(130, 's'), std::string(70, 't'), "x", 1});
    PutImport("nobody.dct", {"", "gran", "Hello", "text/plain", "x", 1});
    PutImport("escape.dct", {"../p7", "gran", "Hello", "text/plain", "x", 1});
    wm::OpenFileService();
    wm::ImportWaitingMessages();
    EXPECT_EQ(files_.At(kP7InBox).files.size(), 2u);  // the one message and the folder's counter
    EXPECT_EQ(files_.MessageText(kP7InBox, "WN2.wnl"),
              FakeMailServer::DataOf(std::string(127, 'f'), std::string(127, 's'), 1, "p7", "x") + "Part=" +
                  std::string(63, 't') + "|x\n");
    EXPECT_TRUE(files_.At({"Import"}).files.empty());
    EXPECT_EQ(files_.At({"MailBoxes"}).dirs.size(), 1u);
    EXPECT_EQ(files_.At({"MailBoxes", "Players"}).dirs.size(), 1u);
    EXPECT_TRUE(mail_.objects.empty());
}

TEST_F(StoredMailTest, HeaderListHoldsKiteThenPlayerMessagesWithIdsSkippingTheRest) {
    wm::OpenFileService();
    // Where an empty owner's walk would end: it is never listed.
    files_.PutMessage({"MailBoxes", "kiteAccounts", "InBox"}, 1, FakeMailServer::DataOf("cy_03", "A", 10));
    files_.PutMessage({"MailBoxes", "Players", "InBox"}, 2, FakeMailServer::DataOf("cy_03", "B", 10));
    wm::BuildHeaderList();
    ASSERT_NE(wm::Services().header_list, nullptr);
    EXPECT_TRUE(Headers().empty());

    wm::Identity().SetPlayerId("p7");
    wm::Identity().SetKiteLogin("ann_01", "apple");
    files_.PutMessage(kAnnInBox, 2, FakeMailServer::DataOf("bob_02", "B", 20));
    files_.PutMessage(kAnnInBox, 1, FakeMailServer::DataOf("cy_03", "A", 10));
    files_.PutLastId(kAnnInBox, 2);
    files_.At(kAnnInBox).files["WN9.wnl"] = {{atoms::mail::Message, EDictText, 0, "From=x\n"}};  // no MailID
    files_.At(kAnnInBox).unreadable["WN8.wnl"] = "";
    files_.PutMessage(kP7InBox, 5, FakeMailServer::DataOf("mum", "Tea", 30));
    wm::RebuildHeaderList();
    // Listing order (the fake lists by name), kite inbox first.
    EXPECT_EQ(Headers(), (std::vector<std::string>{"1/1 cy_03: A", "1/2 bob_02: B", "2/5 mum: Tea"}));
    EXPECT_EQ(wm::Services().header_list->Head()->date, 10u);
    EXPECT_TRUE(mail_.objects.empty());
}

// A rich part wins over a plain one whatever their order; types match exactly, else the message's
// own body is shown; a part the service no longer has is passed over.
TEST_F(StoredMailTest, TheBodyShownIsTheRichPartElseThePlainElseTheMessagesOwn) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"text/plain", "text/wrenmail"}, "body of text/wrenmail"},
        {{"image/png", "text/plain"}, "body of text/plain"},
        {{"Text/Plain", "text/Wrenmail"}, "own body"},
        {{}, "own body"},
    };
    for (const auto& [types, shown] : cases) {
        uint8_t rich = 9;
        EXPECT_EQ(Select(WithParts(types), &rich), shown);
        EXPECT_EQ(rich, shown == "body of text/wrenmail" ? 1 : 0) << shown;
    }
    const uint32_t message = WithParts({"text/wrenmail", "text/plain"});
    mail_.objects.erase(mail_.objects[message].parts[0]);
    uint8_t rich = 9;
    EXPECT_EQ(Select(message, &rich), "body of text/plain");
    EXPECT_EQ(rich, 0);
}

}  // namespace
