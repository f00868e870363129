// The connection manager on RASPort: online by default, and the dial-up simulation's outcomes.
#include <gtest/gtest.h>

#include <vector>

#include "mail/connection_service.h"
#include "mail_test_support.h"

namespace {

using namespace mailtest;
using harbor::DialupOptions;

struct Notice {
    uint16_t code;
    int32_t status;
    uint32_t connection;
    bool has_status;
};

std::vector<Notice> g_notices;

bool OnConnectPort(EDict* r) {
    g_notices.push_back({EDictGetType(r), EDictGetLong(r, A("Status")), static_cast<uint32_t>(EDictGetLong(r, A("Connection"))),
                         EDictHasKey(r, A("Status"))});
    return true;
}

class ConnectionTest : public MailFixture {
protected:
    void SetUp() override {
        MailFixture::SetUp();
        g_notices.clear();
        HxPortAttach(A("ConnectPort"), &OnConnectPort);
    }
    void Use(const char* mode) {
        const std::optional<DialupOptions> options = harbor::ParseDialup(mode);
        ASSERT_TRUE(options.has_value()) << mode;
        connections_ = std::make_unique<harbor::ConnectionService>(*options);
    }
    void TearDown() override {
        connections_.reset();
        MailFixture::TearDown();
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

TEST_F(ConnectionTest, ByDefaultThereIsNoManagerAndNothingIsDialled) {
    connections_ = std::make_unique<harbor::ConnectionService>();
    EXPECT_EQ(AskManager(), 0u);
    Dial();
    HxAdvanceTime(5000);
    EXPECT_TRUE(g_notices.empty());
}

TEST_F(ConnectionTest, ASuccessfulDialAnswersAPositiveStatusAndAConnection) {
    Use("ok");
    EXPECT_NE(AskManager(), 0u);
    Dial();
    HxAdvanceTime(299);
    EXPECT_TRUE(g_notices.empty());  // dialling takes a while
    HxAdvanceTime(1);
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

TEST_F(ConnectionTest, AFailedDialAnswersStatusZeroWithoutAConnection) {
    Use("fail");
    EXPECT_NE(AskManager(), 0u);
    Dial();
    HxAdvanceTime(1000);
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].code, code::kDialResult);
    EXPECT_TRUE(g_notices[0].has_status);
    EXPECT_LE(g_notices[0].status, 0);
    EXPECT_EQ(g_notices[0].connection, 0u);
    EXPECT_EQ(connections_->Connection(), 0u);
}

TEST_F(ConnectionTest, TheLineDropsAfterTheGivenTime) {
    Use("drop-after=2000");
    Dial();
    HxAdvanceTime(300);
    ASSERT_EQ(g_notices.size(), 1u);
    const uint32_t connection = g_notices[0].connection;
    HxAdvanceTime(1999);
    EXPECT_EQ(g_notices.size(), 1u);
    HxAdvanceTime(1);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[1].code, code::kLineDropped);
    EXPECT_EQ(g_notices[1].connection, connection);
    EXPECT_EQ(connections_->Connection(), 0u);
}

TEST_F(ConnectionTest, HangingUpBeforeTheDropSendsNoDrop) {
    Use("drop-after=1000");
    Dial();
    HxAdvanceTime(300);
    ASSERT_EQ(g_notices.size(), 1u);
    HangUp(g_notices[0].connection);
    HangUp(g_notices[0].connection);  // twice: not there any more, nothing happens
    HxAdvanceTime(5000);
    EXPECT_EQ(g_notices.size(), 1u);
    Dial();  // a new line after the old one dropped out
    HxAdvanceTime(300);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_NE(g_notices[1].connection, g_notices[0].connection);
}

TEST_F(ConnectionTest, DialupModesParse) {
    EXPECT_EQ(harbor::ParseDialup("ok")->mode, DialupOptions::Mode::Succeed);
    EXPECT_EQ(harbor::ParseDialup("fail")->mode, DialupOptions::Mode::Fail);
    EXPECT_EQ(harbor::ParseDialup("drop-after=250")->drop_after_ms, 250u);
    for (const char* bad : {"", "OK", "drop-after=", "drop-after=1x", "drop-after=-5", "maybe"}) {
        EXPECT_FALSE(harbor::ParseDialup(bad).has_value()) << bad;
    }
}

}  // namespace
