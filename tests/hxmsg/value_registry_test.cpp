#include <gtest/gtest.h>

#include "hxmsg.h"

namespace {

TEST(HxPublishedValues, PSGetAnswersTheRootPublishedUnderANameKey) {
    auto name = static_cast<uint16_t>(DaNameGet("DctTestForms"));
    HostValue first{0, HostValueInteger, 0, 1};
    HostValue second{0, HostValueInteger, 0, 2};
    HostValue key{0, HostValueName, 0, name};
    EXPECT_EQ(PSGet(&key), nullptr);
    EXPECT_TRUE(HxPublishValue(name, &first));
    EXPECT_EQ(PSGet(&key), &first);
    EXPECT_TRUE(HxPublishValue(name, &second));
    HostValue flagged{0x80, HostValueName, 0, 0xABCD0000u | name}; // flags and high bits ignored
    EXPECT_EQ(PSGet(&flagged), &second);
    HxReset();
    EXPECT_EQ(PSGet(&key), &second);

    HostValue text{0, HostValueText, 0, name};
    EXPECT_EQ(PSGet(&text), nullptr);
    EXPECT_EQ(PSGet(nullptr), nullptr);
    EXPECT_FALSE(HxPublishValue(0, &first));
    EXPECT_FALSE(HxPublishValue(name, nullptr));

    EXPECT_TRUE(HxWithdrawValue(name));
    EXPECT_FALSE(HxWithdrawValue(name));
    EXPECT_EQ(PSGet(&key), nullptr);
}

} // namespace
