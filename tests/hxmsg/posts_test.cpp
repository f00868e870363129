#include "hxmsg_test_support.h"

#include <algorithm>

namespace hxtest {
namespace {

using HxPosts = MessagingTest;

// Each handled record posts the next type to the same port after `delay`, up to type `last`.
void Chain(uint16_t port, int32_t delay, uint16_t last) {
    during = [=](int, EDict* d) {
        EDict next = Record(static_cast<uint16_t>(d->type + 1));
        if (d->type < last) HxPortPost(port, &next, delay);
    };
}

TEST_F(HxPosts, RecordArrivesAsItWasWhenPosted) {
    HxPortAttach(port_, Logger<1>);
    during = [](int, EDict* d) { EXPECT_EQ(EDictGetLong(d, 9), 1); };
    EDict r = Record(5);
    EDictPutLong(&r, 9, 1);
    EXPECT_TRUE(HxPortPost(port_, &r, 0));
    r.type = 6;
    EDictPutLong(&r, 9, 2);
    EXPECT_TRUE(calls.empty()); // posting never delivers at once
    EXPECT_FALSE(HxPortPost(0, &r, 0));
    EXPECT_FALSE(HxPortPost(port_, nullptr, 0));
    HxRunUntilIdle();
    EXPECT_EQ(Types(), (Types16{5}));
}

TEST_F(HxPosts, DeliveredByDueTimeThenPostOrderEachAtItsDueTime) {
    HxPortAttach(port_, Logger<1>);
    const int32_t delays[] = {30, 10, 0, -5}; // negative counts as 0
    std::vector<std::pair<int32_t, uint16_t>> expected;
    for (uint16_t i = 0; i < 60; ++i) {
        EDict r = Record(i);
        HxPortPost(port_, &r, delays[i % 4]);
        expected.emplace_back(std::max(delays[i % 4], 0), i);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(HxPendingPostCount(), 60u);
    HxAdvanceTime(9);
    EXPECT_EQ(HxTimeToNextPost(), 1);
    HxAdvanceTime(91);
    ASSERT_EQ(calls.size(), expected.size());
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].type, expected[i].second);
        EXPECT_EQ(calls[i].now, static_cast<uint64_t>(expected[i].first));
    }
    EXPECT_EQ(HxNow(), 100u);
    EXPECT_EQ(HxTimeToNextPost(), -1);
}

TEST_F(HxPosts, PostsMadeWhileDeliveringJoinTheSameAdvance) {
    HxPortAttach(port_, Logger<1>);
    Chain(port_, 15, 4);
    EDict r = Record(1);
    HxPortPost(port_, &r, 10);
    HxAdvanceTime(45);
    EXPECT_EQ(Times(), (Ms{10, 25, 40}));
    EXPECT_EQ(HxTimeToNextPost(), 10); // type 4, due at 55
}

TEST_F(HxPosts, RunUntilIdleDeliversImmediatePostsWithoutMovingTime) {
    HxAdvanceTime(7);
    HxPortAttach(port_, Logger<1>);
    Chain(port_, 0, 3);
    EDict r = Record(1);
    EDict later = Record(9);
    HxPortPost(port_, &later, 1);
    HxPortPost(port_, &r, 0);
    HxRunUntilIdle();
    EXPECT_EQ(Types(), (Types16{1, 2, 3}));
    EXPECT_EQ(HxNow(), 7u);
    EXPECT_EQ(HxPendingPostCount(), 1u);
}

TEST_F(HxPosts, NestedLoopsLeaveDeliveryToTheRunningOne) {
    HxPortAttach(port_, Logger<1>);
    during = [](int, EDict* d) {
        if (d->type != 1) return;
        HxRunUntilIdle();
        HxAdvanceTime(50);
        EXPECT_EQ(HxNow(), 10u); // time moves only after the handler returns
    };
    for (uint16_t t = 1; t <= 3; ++t) {
        EDict r = Record(t);
        HxPortPost(port_, &r, t == 3 ? 55 : 10);
    }
    HxAdvanceTime(20);
    EXPECT_EQ(Types(), (Types16{1, 2, 3}));
    EXPECT_EQ(Times(), (Ms{10, 10, 55}));
    EXPECT_EQ(HxNow(), 60u);
}

TEST_F(HxPosts, ResetInsideADeliveryDropsPostsAndRewindsTheClock) {
    HxPortAttach(port_, Logger<1>);
    during = [](int, EDict*) { HxReset(); };
    EDict r = Record(1);
    HxPortPost(port_, &r, 5);
    HxPortPost(port_, &r, 6);
    HxAdvanceTime(30);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(HxNow(), 0u);
    EXPECT_EQ(HxPendingPostCount(), 0u);
}

TEST_F(HxPosts, RealClockContinuesFromTheDeterministicTime) {
    HxAdvanceTime(1000);
    HxSetRealClock(true);
    EXPECT_TRUE(HxIsRealClock());
    EXPECT_GE(HxNow(), 1000u);
    HxPortAttach(port_, Logger<1>);
    Chain(port_, 0, 2);
    EDict now = Record(1);
    EDict later = Record(7);
    HxPortPost(port_, &later, 3600 * 1000);
    HxPortPost(port_, &now, 0);
    HxAdvanceTime(0);
    EXPECT_EQ(Types(), (Types16{1, 2}));
    EXPECT_EQ(calls[0].now, calls[1].now); // one clock reading per delivery batch
    uint64_t before = HxNow();
    HxSetRealClock(false);
    EXPECT_GE(HxNow(), before);
    HxReset();
    EXPECT_FALSE(HxIsRealClock());
    EXPECT_EQ(HxNow(), 0u);
}

} // namespace
} // namespace hxtest
