#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "hxmsg.h"

namespace {

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

TEST(HxReferences, ThreadsGetTheSameNumbers) {
    std::vector<int> objects(2000);
    std::vector<std::vector<uint32_t>> seen(4, std::vector<uint32_t>(objects.size()));
    std::vector<std::thread> threads;
    for (size_t t = 0; t < seen.size(); ++t) {
        threads.emplace_back([&, t] {
            for (size_t i = 0; i < objects.size(); ++i) {
                size_t k = t % 2 == 0 ? i : objects.size() - 1 - i; // meet from both ends
                uint32_t n = HxRef(&objects[k]);
                seen[t][k] = HxDeref(n) == &objects[k] ? n : 0;
            }
        });
    }
    for (auto& th : threads) th.join();
    for (const auto& numbers : seen) EXPECT_EQ(numbers, seen[0]);
    EXPECT_EQ(std::set<uint32_t>(seen[0].begin(), seen[0].end()).count(0u), 0u);
}

} // namespace
