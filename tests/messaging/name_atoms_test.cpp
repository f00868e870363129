#include "messaging/name_atoms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(NameAtoms, EveryKeptAtomIsFilledWithItsNamesAtomBeforeMain) {
    ASSERT_FALSE(wm::KeptAtoms().empty());
    for (const wm::KeptAtom& atom : wm::KeptAtoms()) {
        SCOPED_TRACE(std::string(atom.group) + "::" + atom.name);
        EXPECT_NE(*atom.variable, 0);
        EXPECT_EQ(*atom.variable, wm::FetchAtom(atom.name));
    }
}

TEST(NameAtoms, HostBlockHoldsTheWellKnownNamesInOrderThenTheRepeats) {
    std::vector<std::string> host;
    std::vector<std::string> repeated;
    for (const wm::KeptAtom& atom : wm::KeptAtoms()) {
        if (std::strcmp(atom.group, "host") == 0) {
            EXPECT_TRUE(repeated.empty()) << "repeats follow the host block";
            host.emplace_back(atom.name);
        } else if (std::strcmp(atom.group, "host_repeated") == 0) {
            repeated.emplace_back(atom.name);
        }
    }
    EXPECT_EQ(host.size(), 315u);
    EXPECT_EQ(std::set<std::string>(host.begin(), host.end()).size(), host.size());
    EXPECT_EQ(host.front(), "DATADICT");
    EXPECT_EQ(host[17], "AppPort");
    EXPECT_EQ(host[32], "TimerPortTick");
    EXPECT_EQ(host.back(), "NEXT");
    EXPECT_EQ(repeated, (std::vector<std::string>{"KEY", "VALUE", "END"}));
}

TEST(NameAtoms, VariablesHoldingOneNameCompareEqual) {
    EXPECT_EQ(atoms::host::PM, atoms::ports::PM);
    EXPECT_EQ(atoms::PM, atoms::ports::PM);
    EXPECT_EQ(atoms::DATE, atoms::files::DATE);
    EXPECT_EQ(atoms::STRING, atoms::files::STRING);
    EXPECT_EQ(atoms::KEY, atoms::host_repeated::KEY);
    EXPECT_EQ(atoms::VALUE, atoms::host_repeated::VALUE);
    EXPECT_EQ(atoms::END, atoms::host_repeated::END);
}

TEST(NameAtoms, PlayNamesComeFromTheFormat) {
    EXPECT_EQ(atoms::buttons::Play1, wm::FetchAtom("Play1"));
    EXPECT_EQ(atoms::buttons::Play3, wm::FetchAtomFormat("Play%d", 3));
    EXPECT_NE(atoms::buttons::Play1, atoms::buttons::Play2);
    EXPECT_NE(atoms::buttons::Play, atoms::buttons::Play1);
}

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
