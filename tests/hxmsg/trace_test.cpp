#include "hxmsg_test_support.h"

namespace hxtest {
namespace {

struct Event {
    int event;
    uint16_t port;
    uint16_t type;
    int32_t delay;
    bool operator==(const Event&) const = default;
};

void Collect(int event, uint16_t port, const EDict* record, int32_t delay, void* user) {
    static_cast<std::vector<Event>*>(user)->push_back({event, port, record->type, delay});
}

using HxTracing = MessagingTest;

TEST_F(HxTracing, ReportsSendsPostsAndDeliveriesInOrderUntilCleared) {
    std::vector<Event> events;
    HxSetTraceHook(Collect, &events);
    HxPortAttach(port_, Logger<1>);
    during = [&events, this](int, EDict* d) { events.push_back({-1, port_, d->type, 0}); };
    EDict sent = Record(1);
    EDict posted = Record(2);
    HxPortSend(port_, &sent);
    HxPortPost(other_, &posted, 40);
    HxPortPost(port_, &posted, -3);
    HxAdvanceTime(50);
    std::vector<Event> expected = {
        {HxTraceSend, port_, 1, 0},       {-1, port_, 1, 0}, {HxTracePost, other_, 2, 40},
        {HxTracePost, port_, 2, 0},       {HxTraceDeliver, port_, 2, 0}, {-1, port_, 2, 0},
        {HxTraceDeliver, other_, 2, 0},
    };
    EXPECT_EQ(events, expected);

    HxSetTraceHook(nullptr, &events);
    HxPortSend(port_, &sent);
    HxPortPost(port_, &sent, 0);
    HxRunUntilIdle();
    EXPECT_EQ(events.size(), expected.size() + 2); // only the handler's own marks
}

} // namespace
} // namespace hxtest
