#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
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

TEST(HxNameAtoms, ThreadsAgreeOnAtoms) {
    std::vector<std::vector<uint32_t>> seen(4, std::vector<uint32_t>(300));
    std::vector<std::thread> threads;
    for (auto& atoms : seen) {
        threads.emplace_back([&atoms] {
            for (size_t i = 0; i < atoms.size(); ++i) atoms[i] = DaNameGet(("shared" + std::to_string(i)).c_str());
        });
    }
    for (auto& t : threads) t.join();
    for (const auto& atoms : seen) EXPECT_EQ(atoms, seen[0]);
    EXPECT_STREQ(DaNameGetString(static_cast<uint16_t>(seen[0][7])), "shared7");
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

} // namespace
