// The host clients: the file service's open, list and close at module start and stop, and the
// mail service's requests as the module makes them.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "../store/store_fixture.h"
#include "clients/mail_object.h"
#include "clients/mail_requests.h"

namespace {

using FileRequestsTest = StoreTest;

bool HXCALL AnswerWithoutSuccess(EDict* record) {
    static wm::DictObject stray;
    EDictPutLong(record, atoms::STATUS, 0);
    EDictPutHandle(record, atoms::files::HANDLE, 5);
    EDictPutPointer(record, atoms::files::FioQuery, &stray);
    return true;
}

TEST_F(FileRequestsTest, OpenAndListAnswerOnlyOnSuccess) {
    EXPECT_NE(wm::FileList(Handle()), nullptr);
    HxReset();
    HxPortAttach(atoms::files::FileIOPort, &AnswerWithoutSuccess);
    EXPECT_EQ(wm::FileOpenHandle(), 0u);
    EXPECT_EQ(wm::FileList(Handle()), nullptr);
}

TEST_F(FileRequestsTest, ModuleStartOpensTheFileServiceAndStopClosesIt) {
    wm::Services() = wm::ServiceHandles{};
    host_.Forget();
    Start(nullptr);
    const uint32_t handle = wm::Services().file_service;
    EXPECT_NE(handle, 0u);
    ASSERT_NE(wm::Services().header_list, nullptr);
    EXPECT_EQ(wm::Services().header_list->Size(), 0u);
    Stop();
    EXPECT_EQ(wm::Services().header_list, nullptr);
    EXPECT_EQ(wm::Services().file_service, 0u);
    const auto closes = host_.Requests(atoms::files::FileIOPort, code::kClose);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(EDictGetLong(&closes[0].record, atoms::files::HANDLE)), handle);

    files_.failOpen = true;
    Start(nullptr);
    EXPECT_EQ(wm::Services().file_service, 0u);
    Stop();
    EXPECT_EQ(host_.log.Count(atoms::files::FileIOPort, code::kClose), 1u);  // handle 0: no close
}

using Keys = std::vector<std::pair<uint16_t, uint16_t>>;

class MailRequestsTest : public ModuleTest {
protected:
    // The records the module sent to MailPort, as it made them.
    std::vector<HostRequest> Sent(uint16_t type) const { return host_.Requests(atoms::mail::MailPort, type); }
};

std::tuple<uint32_t, int32_t, bool> Fields(const wm::SignInAnswer& a) { return {a.manager, a.status, a.success}; }

TEST_F(MailRequestsTest, SignInTestPassesBelowFourHundredWithManagerAndSuccessOnly) {
    EXPECT_TRUE(wm::SignedIn({7, 399, true}) && wm::SignedIn({7, -5, true}));  // signed: -5 is below 400
    EXPECT_FALSE(wm::SignedIn({7, 400, true}) || wm::SignedIn({0, 235, true}) || wm::SignedIn({7, 235, false}));
}

TEST_F(MailRequestsTest, SignInSendsManagerNameAndPasswordAndReadsTheAnswer) {
    mail_.accounts["ann_01"] = "apple";
    mail_.okStatus = 399;
    EXPECT_EQ(Fields(wm::MailSignIn("ann_01", "apple")), std::tuple(70u, 399, true));

    const auto requests = Sent(code::kOpen);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].event, HxTraceSend);
    EXPECT_EQ(KeysOf(requests[0].record), (Keys{{atoms::mail::Manager, EDictHandle},
                                                {atoms::mail::Username, EDictText},
                                                {atoms::mail::Password, EDictText}}));
    EXPECT_EQ(EDictGetLong(&requests[0].record, atoms::mail::Manager), 0);

    mail_.okStatus = 400;
    EXPECT_FALSE(wm::SignedIn(wm::MailSignIn("ann_01", "apple")));
    EXPECT_EQ(Fields(wm::MailSignIn("ann_01", "pear")), std::tuple(0u, 535, true));
    mail_.offline = true;
    EXPECT_EQ(Fields(wm::MailSignIn("ann_01", "apple")), std::tuple(0u, 0, false));
}

TEST_F(MailRequestsTest, TransferRequestsNameTheManagerFirst) {
    mail_.waiting.push_back(FakeMailServer::DataOf("bob_02", "Hi", 5));
    const uint32_t fetched = wm::MailNextMessage(70);
    ASSERT_NE(fetched, 0u);
    EXPECT_EQ(wm::MailNextMessage(70), 0u);
    EXPECT_TRUE(wm::MailSendMessage(70, fetched));
    mail_.sendSucceeds = false;
    EXPECT_FALSE(wm::MailSendMessage(70, fetched));
    wm::MailSignOut(70);
    EXPECT_EQ(mail_.signedOut, std::vector<uint32_t>{70});

    EXPECT_EQ(KeysOf(Sent(code::kFetchNext)[0].record), (Keys{{atoms::mail::Manager, EDictHandle}}));
    EXPECT_EQ(KeysOf(Sent(code::kSendMessage)[0].record),
              (Keys{{atoms::mail::Manager, EDictHandle}, {atoms::mail::Message, EDictHandle}}));
    EXPECT_EQ(KeysOf(Sent(code::kClose)[0].record), (Keys{{atoms::mail::Manager, EDictHandle}}));
}

TEST_F(MailRequestsTest, PartsAreMadeAddedAndFoundByIndex) {
    const uint32_t message = wm::MailNewMessage(nullptr);
    const uint32_t part = wm::MailNewPart();
    ASSERT_NE(part, 0u);
    wm::MailSetText(part, atoms::mail::ContentType, "text/plain");
    wm::MailAddPart(message, part);
    EXPECT_EQ(wm::MailGetLong(message, atoms::mail::Parts), 1);
    EXPECT_EQ(wm::MailGetPart(message, 0), part);
    EXPECT_EQ(wm::MailGetPart(message, 1), 0u);
    EXPECT_STREQ(wm::MailGetText(wm::MailGetPart(message, 0), atoms::mail::ContentType), "text/plain");

    const auto created = Sent(code::kCreate);
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(KeysOf(created[0].record), (Keys{{atoms::mail::Message, EDictHandle}}));
    EXPECT_EQ(KeysOf(created[1].record), (Keys{{atoms::mail::Part, EDictHandle}}));
    EXPECT_EQ(KeysOf(Sent(code::kAddPart)[0].record),
              (Keys{{atoms::mail::Message, EDictHandle}, {atoms::mail::Part, EDictHandle}}));
    const auto byIndex = Sent(code::kGet);
    EXPECT_EQ(KeysOf(byIndex[1].record), (Keys{{atoms::mail::Message, EDictHandle},
                                               {atoms::mail::Index, EDictLong},
                                               {atoms::mail::Part, EDictHandle}}));
    EXPECT_EQ(EDictGetLong(&byIndex[2].record, atoms::mail::Index), 1);
}

// Each owned handle, even 0, is freed once when its owner goes; a moved-from owner frees nothing.
// A refused object is freed all the same: the requests must not depend on the service's answer.
TEST_F(MailRequestsTest, MailObjectsFreeTheirHandleOnceWhenTheirOwnerGoes) {
    const auto made = [](uint32_t handle) {
        wm::MailObject object(handle);
        return object;
    };
    {
        const wm::MailObject first(41);
        {
            wm::MailObject inner(42);
            const wm::MailObject taken(std::move(inner));
            EXPECT_EQ(taken.Get(), 42u);
            EXPECT_TRUE(mail_.freed.empty());
        }
        EXPECT_EQ(mail_.freed, (std::vector<uint32_t>{42}));
        const wm::MailObject returned = made(43);
        EXPECT_EQ(mail_.freed, (std::vector<uint32_t>{42}));
    }
    { const wm::MailObject none(0); }
    EXPECT_EQ(mail_.freed, (std::vector<uint32_t>{42, 43, 41, 0}));
}

}  // namespace
