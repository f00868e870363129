// The timer ports and RegionalPort under the deterministic clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "harbor_test_support.h"
#include "request_builder.h"
#include "services/date_format.h"
#include "services/regional_service.h"
#include "services/timer_service.h"

using harbor_test::A;
using harbor_test::Req;

namespace {

struct Seen {
    uint64_t now;
    uint32_t time;
};
std::vector<Seen> ticks;
std::vector<Seen> seconds;
std::vector<std::string> sequence;

bool HXCALL TickWatcher(EDict* record) {
    if (EDictGetType(record) != 30040) return false;
    ticks.push_back({HxNow(), EDictGetTime(record)});
    sequence.push_back("tick@" + std::to_string(HxNow()));
    return false;
}

bool HXCALL SecondWatcher(EDict* record) {
    seconds.push_back({HxNow(), EDictGetTime(record)});
    return false;
}

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        ticks.clear();
        seconds.clear();
        sequence.clear();
        timers_ = std::make_unique<harbor::TimerService>();
        HxPortAttach(A("TimerPortTick"), &TickWatcher);
        HxPortAttach(A("TimerPortSeconds"), &SecondWatcher);
    }
    void TearDown() override {
        timers_.reset();
        HxReset();
    }

    std::unique_ptr<harbor::TimerService> timers_;
};

TEST_F(TimerTest, OneSecondHolds62TicksAndOneSecondRecord) {
    HxAdvanceTime(1000);
    ASSERT_EQ(ticks.size(), 62u);  // at 16, 32, ... 992
    ASSERT_EQ(seconds.size(), 1u);
    EXPECT_EQ(seconds[0].now, 1000u);
    EXPECT_EQ(seconds[0].time, 1000u);
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i].now, 16u * (i + 1));
        EXPECT_EQ(ticks[i].time, ticks[i].now);  // the time word is the clock
    }
}

bool HXCALL MarkWatcher(EDict*) {
    sequence.push_back("mark@" + std::to_string(HxNow()));
    return false;
}

TEST_F(TimerTest, TicksAreOrdinaryPostsInDueOrder) {
    HxPortAttach(A("TestMarkPort"), &MarkWatcher);
    Req(A("aMark")).PostTo(A("TestMarkPort"), 32);  // posted before the tick due at 32 was
    HxAdvanceTime(32);
    // Due times first, then posting order: the tick due at 32 was posted at 16, after the mark.
    EXPECT_EQ(sequence, (std::vector<std::string>{"tick@16", "mark@32", "tick@32"}));
}

TEST_F(TimerTest, A30040FromElsewhereDoesNotMultiplyTheTicks) {
    Req(30040).PostTo(A("TimerPortTick"), 5);
    HxAdvanceTime(160);
    EXPECT_EQ(ticks.size(), 11u);  // ten of ours and the extra one
    EXPECT_EQ(timers_->Ticks(), 10u);
}

class RegionalTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        HxSetRealClock(false);
        service_ = std::make_unique<harbor::RegionalService>();
    }
    void TearDown() override {
        service_.reset();
        HxReset();
    }

    // 30049 for a short date into `buffer` of `size` bytes, as the module asks.
    void Format(uint32_t date, char* buffer, int32_t size) {
        Req(30049).Long("DATE", static_cast<int32_t>(date)).Handle("STRING", HxRef(buffer)).Long("SIZE", size)
            .Long("SHORTDATE", 1).SendTo(A("RegionalPort"));
    }

    // 30011's answer: the date now, in seconds.
    static uint32_t Today() {
        EDict r = Req(30011).Long("DATE", 1).To(A("RegionalPort"));
        return static_cast<uint32_t>(EDictGetLong(&r, A("DATE")));
    }

    std::unique_ptr<harbor::RegionalService> service_;
};

// The forms are the mail corpus's list dates and FormatDate's own.
TEST_F(RegionalTest, TheDateIsTheFixedStartPlusTheClocksWholeSeconds) {
    EXPECT_EQ(Today(), harbor::kDeterministicEpoch);
    HxAdvanceTime(2999);
    EXPECT_EQ(Today(), harbor::kDeterministicEpoch + 2);
}

TEST_F(RegionalTest, NeverWritesPastSizeAndAlwaysTerminates) {
    // The 16 bytes of a buffer filled with 'x' after a short date of at most `size` bytes.
    const auto written = [this](int32_t size) {
        std::string buffer(16, 'x');
        Format(harbor::kDeterministicEpoch, buffer.data(), size);
        return buffer;
    };
    EXPECT_EQ(written(5), std::string("12/0\0xxxxxxxxxxx", 16));
    EXPECT_EQ(written(1), std::string("\0xxxxxxxxxxxxxxx", 16));
    EXPECT_EQ(written(0), std::string(16, 'x'));
    EXPECT_EQ(written(-4), std::string(16, 'x'));
    Format(harbor::kDeterministicEpoch, nullptr, 16);  // nothing to write into: no crash
}

TEST(DateFormatTest, TwelveHourClockAndYearsAroundTheTurn) {
    EXPECT_EQ(harbor::FormatDate(946684800, harbor::DateForm::Long, false), "Saturday, January 1, 2000 12:00 AM");
    EXPECT_EQ(harbor::FormatDate(946684800, harbor::DateForm::Short, false), "01/01/00");
    EXPECT_EQ(harbor::FormatDate(946684800 + 12 * 3600 + 5 * 60, harbor::DateForm::Long, false),
              "Saturday, January 1, 2000 12:05 PM");
    EXPECT_EQ(harbor::FormatDate(0, harbor::DateForm::Long, false), "Thursday, January 1, 1970 12:00 AM");
    EXPECT_EQ(harbor::FormatDate(4294967295u, harbor::DateForm::Short, false), "02/07/06");  // 2106
}

}  // namespace
