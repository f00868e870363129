#include "messaging/name_atoms.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A fetch function that counts its calls, so the guard can be watched.
int g_fetches = 0;
uint16_t CountingFetch(const char* name) {
    ++g_fetches;
    return static_cast<uint16_t>(100 + std::strlen(name));
}

TEST(LazyAtoms, EachAtomIsFetchedOnceOnItsFirstUse) {
    g_fetches = 0;
    wm::LazyAtoms<3> lazy({"FORMS", "TEMPLATE", "INDEX"}, &CountingFetch);
    EXPECT_EQ(lazy.Guard(), 0);
    EXPECT_EQ(g_fetches, 0);

    EXPECT_EQ(lazy.Get(1), 108);
    EXPECT_EQ(lazy.Guard(), 0b010);
    EXPECT_EQ(lazy.Get(1), 108);
    EXPECT_EQ(g_fetches, 1);

    EXPECT_EQ(lazy.Get(0), 105);
    EXPECT_EQ(lazy.Get(2), 105);
    EXPECT_EQ(lazy.Get(0), 105);
    EXPECT_EQ(lazy.Guard(), 0b111);
    EXPECT_EQ(g_fetches, 3);
}

}  // namespace
