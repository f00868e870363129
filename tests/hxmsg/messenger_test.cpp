// The messenger: handlers on ports, sends and posts in time order (the trace hook is watched by
// the module's null host and Harbor's tracer tests). Handlers log their calls; every test starts
// from a fresh messaging state (the library's state is process-wide).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "hxmsg.h"

namespace hxtest {
namespace {

struct Call { int handler; uint16_t type; uint64_t now; };
std::vector<Call> calls;
bool answers[4] = {};
std::function<void(int, EDict*)> during; // runs inside a handler, after it logs

template <int N>
bool HXCALL Logger(EDict* record) {
    calls.push_back({N, record->type, HxNow()});
    if (during) during(N, record);
    return answers[N];
}

template <typename F>
auto Column(F field) {
    std::vector<decltype(field(Call{}))> out;
    for (const Call& c : calls) out.push_back(field(c));
    return out;
}
std::vector<int> Handlers() { return Column([](const Call& c) { return c.handler; }); }
std::vector<uint16_t> Types() { return Column([](const Call& c) { return c.type; }); }
std::vector<uint64_t> Times() { return Column([](const Call& c) { return c.now; }); }

EDict Record(uint16_t type) {
    EDict d;
    EDictClear(&d);
    EDictSetType(&d, type);
    return d;
}

class MessagingTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        HxReset();
        HxSetTraceHook(nullptr, nullptr);
        calls.clear();
        std::fill(std::begin(answers), std::end(answers), false);
        during = nullptr;
    }

    const uint16_t port_ = static_cast<uint16_t>(DaNameGet("TestPortA"));
    const uint16_t other_ = static_cast<uint16_t>(DaNameGet("TestPortB"));
};

using Ints = std::vector<int>;
using Types16 = std::vector<uint16_t>;
using Ms = std::vector<uint64_t>;

using HxPorts = MessagingTest;

TEST_F(HxPorts, HandlersRunOnceEachInAttachOrderAndAnswerInTheRecordEvenIfOneThrows) {
    EDict r = Record(1);
    EXPECT_FALSE(HxPortSend(port_, &r)); // no handler
    EXPECT_TRUE(HxPortAttach(port_, Logger<2>));
    EXPECT_TRUE(HxPortAttach(port_, Logger<1>));
    EXPECT_TRUE(HxPortAttach(port_, Logger<2>));
    HxPortAttach(other_, Logger<3>);
    during = [](int n, EDict* d) { EDictPutLong(d, 77, n); };
    EXPECT_FALSE(HxPortSend(port_, &r));
    EXPECT_EQ(EDictGetLong(&r, 77), 1);
    answers[2] = true;
    EXPECT_TRUE(HxPortSend(port_, &r));

    // No port or no handler, no port or no record: each is refused.
    EXPECT_FALSE(HxPortAttach(0, Logger<1>) || HxPortAttach(port_, nullptr));
    EXPECT_FALSE(HxPortSend(0, &r) || HxPortSend(port_, nullptr));

    // A handler that throws counts as not taken, and the ones after it still run.
    during = [](int n, EDict*) {
        if (n == 2) throw std::runtime_error("broken handler");
    };
    EXPECT_FALSE(HxPortSend(port_, &r)); // the throwing handler's true answer never came
    EXPECT_EQ(Handlers(), (Ints{2, 1, 2, 1, 2, 1})); // neither a true answer nor a throw stops the others
}

// Changes made during a delivery: a handler detached before its turn is skipped, and one attached
// (or detached and attached again) waits for the next record.
TEST_F(HxPorts, HandlersDetachedOrAttachedDuringDeliveryTakeEffectAtOnceOrFromTheNextRecord) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    HxPortAttach(port_, Logger<3>);
    during = [this](int n, EDict* d) {
        if (n == 1 && d->type == 1) {
            HxPortDetach(port_, Logger<2>);
            HxPortAttach(port_, Logger<0>);
            HxPortDetach(port_, Logger<3>);
            HxPortAttach(port_, Logger<3>);
        }
        if (n == 3 && d->type == 2) HxPortDetach(port_, Logger<3>); // itself
    };
    EDict first = Record(1), second = Record(2), third = Record(3);
    HxPortSend(port_, &first);
    HxPortSend(port_, &second);
    EXPECT_FALSE(HxPortDetach(port_, Logger<2>));
    EXPECT_FALSE(HxPortDetach(other_, Logger<1>));
    HxPortAttach(port_, Logger<2>); // attaches again, now last
    HxPortSend(port_, &third);
    EXPECT_EQ(Types(), (Types16{1, 2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(Handlers(), (Ints{1, 1, 0, 3, 1, 0, 2}));
}

TEST_F(HxPorts, SendsNestIntoOtherPortsAndTheSamePort) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    HxPortAttach(other_, Logger<3>);
    during = [this](int n, EDict* d) {
        if (n != 1 || d->type != 1) return;
        EDict inner = Record(2);
        HxPortSend(other_, &inner);
        HxPortSend(port_, &inner);
    };
    EDict r = Record(1);
    HxPortSend(port_, &r);
    EXPECT_EQ(Handlers(), (Ints{1, 3, 1, 2, 2}));
    EXPECT_EQ(Types(), (Types16{1, 2, 2, 2, 1}));
}

using HxPosts = MessagingTest;

// Each handled record posts the next type to the same port after `delay`, up to type `last`.
void Chain(uint16_t port, int32_t delay, uint16_t last) {
    during = [=](int, EDict* d) {
        EDict next = Record(static_cast<uint16_t>(d->type + 1));
        if (d->type < last) HxPortPost(port, &next, delay);
    };
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

TEST_F(HxPosts, RunUntilIdleDeliversImmediatePostsAsPostedWithoutMovingTime) {
    HxAdvanceTime(7);
    HxPortAttach(port_, Logger<1>);
    Chain(port_, 0, 3);
    EDict r = Record(1);
    EDict later = Record(9);
    HxPortPost(port_, &later, 1);
    EXPECT_TRUE(HxPortPost(port_, &r, 0));
    r.type = 6; // the queued copy keeps type 1
    EXPECT_TRUE(calls.empty()); // posting never delivers at once
    EXPECT_FALSE(HxPortPost(0, &r, 0) || HxPortPost(port_, nullptr, 0));
    HxRunUntilIdle();
    EXPECT_EQ(Types(), (Types16{1, 2, 3}));
    EXPECT_EQ(HxNow(), 7u);
    EXPECT_EQ(HxPendingPostCount(), 1u);
}

TEST_F(HxPosts, NestedLoopsLeaveDeliveryToTheRunningOne) {
    HxPortAttach(port_, Logger<1>);
    during = [](int, EDict* d) {
        if (d->type == 2) HxAdvanceTime(1); // a shorter nested advance leaves the target at 60
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

TEST_F(HxPosts, ResetInsideADeliveryDetachesEveryHandlerDropsPostsAndRewindsTheClock) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    HxPortAttach(other_, Logger<3>);
    static int resets;
    resets = 0;
    // After the reset the handler starts afresh: a new handler and a post due at once, which
    // waits for the next loop (the interrupted one stops).
    during = [this](int, EDict*) {
        if (resets++ > 0) return;
        HxReset();
        HxPortAttach(port_, Logger<2>);
        EDict fresh = Record(2);
        HxPortPost(port_, &fresh, 0);
    };
    EDict r = Record(1);
    HxPortPost(port_, &r, 5);
    HxPortPost(port_, &r, 6);
    HxAdvanceTime(30);
    HxPortSend(other_, &r);
    EXPECT_EQ(Handlers(), (Ints{1}));
    EXPECT_EQ(HxNow(), 0u);
    EXPECT_EQ(HxPendingPostCount(), 1u);
}

TEST_F(HxPosts, RealClockContinuesFromTheDeterministicTime) {
    HxAdvanceTime(1000);
    HxSetRealClock(true);
    EXPECT_TRUE(HxIsRealClock());
    EXPECT_GE(HxNow(), 1000u);
    HxPortAttach(port_, Logger<1>);
    Chain(port_, 0, 2);
    const auto chain = during; // and each handler takes a few milliseconds
    during = [chain](int n, EDict* d) {
        chain(n, d);
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    };
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
