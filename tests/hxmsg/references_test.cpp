#include <gtest/gtest.h>

#include <set>
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

} // namespace
