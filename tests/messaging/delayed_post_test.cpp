#include "messaging/delayed_post.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "null_host.h"
#include "wrenmail.h"

namespace {

std::vector<EDict> g_arrived;

bool HXCALL Receiver(EDict* record) {
    g_arrived.push_back(*record);
    return true;
}

EDict Numbered(int32_t number) {
    EDict record = Record(atoms::actions::CursorBlinkMessage);
    EDictPutLong(&record, atoms::COUNT, number);
    return record;
}

std::vector<int32_t> ArrivedNumbers() {
    std::vector<int32_t> numbers;
    for (const EDict& record : g_arrived) numbers.push_back(EDictGetLong(&record, atoms::COUNT));
    return numbers;
}

class DelayedPostTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        g_arrived.clear();
        port_ = wm::FetchAtom("DelayedPostTestPort");
        HxPortAttach(port_, &Receiver);
        // The reset detached the tick handler that the first DelayedPost of the run attached.
        HxPortAttach(atoms::TimerPortTick, &PostMessages);
    }

    void TearDown() override {
        for (int i = 0; i < 1000 && wm::PendingPostCount() > 0; ++i) Tick();
    }

    NullHost host_;

    static void SendOnTimer(uint16_t type) {
        EDict record = Record(type);
        HxPortSend(atoms::TimerPortTick, &record);
        HxRunUntilIdle();
    }
    static void Tick() { SendOnTimer(code::kTick); }

    uint16_t port_ = 0;
};

TEST_F(DelayedPostTest, EachPostWaitsItsTicksAndPostsDueOnOneTickLeaveInQueueOrderForTheirPorts) {
    EDict records[] = {Numbered(1), Numbered(2), Numbered(3), Numbered(4)};
    for (int i = 0; i < 4; ++i) wm::DelayedPost(port_, &records[i], i % 2 == 0 ? 2 : 1);  // 1 and 3 wait two ticks
    EXPECT_EQ(wm::PendingPostCount(), 4u);
    HxRunUntilIdle();
    EXPECT_TRUE(g_arrived.empty());
    Tick();
    EXPECT_EQ(ArrivedNumbers(), (std::vector<int32_t>{2, 4}));
    Tick();
    EXPECT_EQ(ArrivedNumbers(), (std::vector<int32_t>{2, 4, 1, 3}));
    EXPECT_EQ(wm::PendingPostCount(), 0u);

    // No ticks at all still waits for the next tick (its count drops below 0); then each post goes
    // to its own port with no delay.
    g_arrived.clear();
    const uint16_t other = wm::FetchAtom("DelayedPostOtherPort");
    wm::DelayedPost(other, &records[0], 0);
    wm::DelayedPost(port_, &records[1], -5);
    HxAdvanceTime(1000);
    EXPECT_TRUE(g_arrived.empty());
    host_.Forget();
    Tick();
    EXPECT_EQ(ArrivedNumbers(), (std::vector<int32_t>{2}));
    using Seen = std::tuple<int, uint16_t, int32_t>;  // event, port, delay
    std::vector<Seen> seen;
    for (const HostRequest& r : host_.Requests()) seen.emplace_back(r.event, r.port, r.delay);
    EXPECT_EQ(seen, (std::vector<Seen>{
                        {HxTraceSend, atoms::TimerPortTick, 0}, {HxTracePost, other, 0}, {HxTracePost, port_, 0}}));
}

// Other messages on the timer port move nothing, and the queued copy ignores later changes.
TEST_F(DelayedPostTest, OnlyTicksCountAndTheQueuedCopyIsWhatWasPosted) {
    EDict record = Numbered(1);
    const char* text = "before";
    EDictPutText(&record, atoms::TEXT, text);
    wm::DelayedPost(port_, &record, 1);
    EDictPutLong(&record, atoms::COUNT, 99);
    EDictRemove(&record, atoms::TEXT);
    EDictSetType(&record, code::kStop);
    for (const uint16_t type : {code::kLeft, uint16_t{atoms::actions::CursorBlinkMessage}, uint16_t{0}}) SendOnTimer(type);
    EXPECT_TRUE(PostMessages(nullptr));
    EXPECT_TRUE(g_arrived.empty());
    EXPECT_EQ(wm::PendingPostCount(), 1u);
    Tick();
    ASSERT_EQ(g_arrived.size(), 1u);
    EXPECT_EQ(EDictGetType(&g_arrived[0]), atoms::actions::CursorBlinkMessage);
    EXPECT_EQ(EDictGetLong(&g_arrived[0], atoms::COUNT), 1);
    EXPECT_EQ(EDictGetText(&g_arrived[0], atoms::TEXT), text);
}

}  // namespace
