// The connection manager on RASPort: online by default, and the dial-up simulation's outcomes.
#include <gtest/gtest.h>

#include <vector>

#include "mail/connection_service.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
using harbor::DialupOptions;

// What reached ConnectPort: the notice's code, its Status (-1 when it has none) and Connection.
struct Notice { uint16_t code; int32_t status; uint32_t connection; };
std::vector<Notice> g_notices;

bool OnConnectPort(EDict* r) {
    const int32_t status = EDictHasKey(r, A("Status")) ? EDictGetLong(r, A("Status")) : -1;
    g_notices.push_back({EDictGetType(r), status, Handle(*r, "Connection")});
    return true;
}

class ConnectionTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        g_notices.clear();
        HxPortAttach(A("ConnectPort"), &OnConnectPort);
    }
    void TearDown() override {
        connections_.reset();
        MailFixture::TearDown();
    }
    void Use(const char* mode) {
        const std::optional<DialupOptions> options = harbor::ParseDialup(mode);
        ASSERT_TRUE(options.has_value()) << mode;
        connections_.reset();  // one manager at a time on RASPort
        connections_ = std::make_unique<harbor::ConnectionService>(*options);
    }
    static uint32_t AskManager() {
        EDict r = On(code::kQuery, 0, "Manager");
        HxPortSend(A("RASPort"), &r);
        return Handle(r, "Manager");
    }
    static void Dial() {
        EDict r = On(code::kOpen, 0, "Connection");
        EDictPutShort(&r, A("NotifyPort"), A("ConnectPort"));
        HxPortPost(A("RASPort"), &r, 0);
    }
    static void HangUp(uint32_t connection) {
        EDict r = On(code::kClose, connection, "Connection");
        HxPortSend(A("RASPort"), &r);
    }

    std::unique_ptr<harbor::ConnectionService> connections_;
};

// No manager by default, a failed dial's status 0 and the while dialling takes are the e2e
// sessions' (mail_between_accounts, signin_offline, signin_dial_fail and signin_wrong_then_right
// fail without them).
TEST_F(ConnectionTest, ADialAnswersAfterAWhileWithAConnection) {
    Use("ok");
    EXPECT_NE(AskManager(), 0u);
    Dial();
    HxAdvanceTime(300);
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].code, code::kDialResult);
    EXPECT_GT(g_notices[0].status, 0);
    EXPECT_NE(g_notices[0].connection, 0u);
    EXPECT_EQ(connections_->Connection(), g_notices[0].connection);
    HangUp(g_notices[0].connection);
    EXPECT_EQ(connections_->Connection(), 0u);
    HxAdvanceTime(60000);
    EXPECT_EQ(g_notices.size(), 1u);  // no drop without drop-after
}

TEST_F(ConnectionTest, TheLineDropsAfterTheGivenTimeUnlessHungUpBefore) {
    Use("drop-after=2000");
    Dial();
    HxAdvanceTime(300);
    ASSERT_EQ(g_notices.size(), 1u);
    const uint32_t first = g_notices[0].connection;
    HxAdvanceTime(1999);
    EXPECT_EQ(g_notices.size(), 1u);
    HxAdvanceTime(1);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[1].code, code::kLineDropped);
    EXPECT_EQ(g_notices[1].connection, first);
    EXPECT_EQ(connections_->Connection(), 0u);

    Dial();  // a new line after the old one dropped out
    HxAdvanceTime(300);
    ASSERT_EQ(g_notices.size(), 3u);
    EXPECT_NE(g_notices[2].connection, first);
    HangUp(g_notices[2].connection);
    HangUp(g_notices[2].connection);  // twice: not there any more, nothing happens
    HxAdvanceTime(5000);
    EXPECT_EQ(g_notices.size(), 3u);
}

// "ok" and "fail" are the e2e sessions' (signin_wrong_then_right, signin_dial_fail).
TEST(DialupTest, ModesParse) {
    EXPECT_EQ(harbor::ParseDialup("drop-after=250")->drop_after_ms, 250u);
    for (const char* bad : {"", "OK", "drop-after=", "drop-after=1x", "drop-after=-5", "maybe"}) {
        EXPECT_FALSE(harbor::ParseDialup(bad).has_value()) << bad;
    }
}

}  // namespace
