// The library's process-wide tables: name atoms, address references and published values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "hxmsg.h"

namespace {

TEST(HxNameAtoms, EqualNamesShareAnAtomAndCaseMakesANewName) {
    uint32_t down = DaNameGet("down");
    uint32_t capital = DaNameGet("Down");
    EXPECT_NE(down, 0u);
    EXPECT_NE(down, capital);
    EXPECT_LE(capital, 0xFFFFu);
    EXPECT_EQ(DaNameGet(std::string("do").append("wn").c_str()), down);
    EXPECT_EQ(DaNameGet(nullptr), 0u);
    uint32_t empty = DaNameGet("");
    EXPECT_NE(empty, 0u);
    EXPECT_STREQ(DaNameGetString(static_cast<uint16_t>(empty)), "");
    EXPECT_EQ(DaNameGetString(0), nullptr);
    EXPECT_EQ(DaNameGetString(0xFFFF), nullptr);

    const char* text = DaNameGetString(static_cast<uint16_t>(capital));
    for (int i = 0; i < 3000; ++i) DaNameGet(("grow" + std::to_string(i)).c_str());
    EXPECT_EQ(DaNameGetString(static_cast<uint16_t>(capital)), text); // stays put as the table grows
    EXPECT_STREQ(text, "Down");
}

// In a child process: using up every atom would spoil the other tests.
TEST(HxNameAtomsDeathTest, FullTableRefusesNewNamesButKeepsOldOnes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            uint32_t early = DaNameGet("EarlyName");
            uint32_t highest = 0;
            for (int i = 0; i < 70000 && highest < 0xFFFF; ++i) highest = DaNameGet(("fill" + std::to_string(i)).c_str());
            bool ok = highest == 0xFFFF && DaNameGet("OneMore") == 0 && DaNameGet("EarlyName") == early;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Enough addresses to fill several of the table's storage chunks.
TEST(HxReferences, EveryAddressRoundTripsUnderOneNumber) {
    EXPECT_EQ(HxRef(nullptr), 0u);
    EXPECT_EQ(HxDeref(0), nullptr);
    EXPECT_EQ(HxDeref(0xFFFFFFF0u), nullptr);
    std::vector<char> bytes(5000);
    std::vector<uint32_t> numbers;
    for (char& b : bytes) numbers.push_back(HxRef(&b));
    std::set<uint32_t> distinct(numbers.begin(), numbers.end());
    EXPECT_EQ(distinct.size(), bytes.size());
    EXPECT_EQ(distinct.count(0u), 0u);
    for (size_t i = 0; i < bytes.size(); ++i) {
        ASSERT_EQ(HxRef(&bytes[i]), numbers[i]);
        ASSERT_EQ(HxDeref(numbers[i]), &bytes[i]);
    }
}

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
