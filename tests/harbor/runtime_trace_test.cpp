// Trace lines: records decoded with atom names, notes, and which ports are left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harbor_test_support.h"
#include "runtime/record_format.h"
#include "runtime/record_tracer.h"
#include "base/trace_log.h"

using harbor::FormatRecord;
using harbor_test::A;
using harbor_test::Record;

namespace {

TEST(RecordFormatTest, EachKindOfValueAsPeopleReadIt) {
    EDict r = Record(30013);
    EDictPutShort(&r, A("NAME"), A("ScCsSignIn"));
    EDictPutShort(&r, A("COUNT"), 65000);  // no atom of that number: the number
    EDictPutLong(&r, A("X"), -12);
    EDictPutText(&r, A("TEXT"), "say \"hi\"\n");
    EDictPutText(&r, A("STRING"), nullptr);
    EDictPutHandle(&r, A("HANDLE"), 4000000000u);
    EDictPutFloat(&r, A("SPEED"), 1.5f);
    EXPECT_EQ(FormatRecord(r),
              "30013 NAME=ScCsSignIn COUNT=65000 X=-12 TEXT=\"say \\\"hi\\\"\\n\" STRING=null HANDLE=4000000000 "
              "SPEED=1.5");

    // Action types by name, long texts cut.
    EDict action = Record(A("aWrenmailGetMail"));
    const std::string long_text(100, 'w');
    EDictPutText(&action, A("TEXT"), long_text.c_str());
    EXPECT_EQ(FormatRecord(action), "aWrenmailGetMail TEXT=\"" + std::string(harbor::kTracedTextLimit, 'w') + "\"...");
    EXPECT_EQ(harbor::FormatType(30093), "30093");
}

class TracerTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        harbor::TraceLog::Instance().SetSink([this](std::string_view line) { lines_.emplace_back(line); });
    }
    void TearDown() override {
        harbor::TraceLog::Instance().SetSink(nullptr);
        HxReset();
    }
    std::vector<std::string> lines_;
};

TEST_F(TracerTest, SendsPostsAndDeliveriesAreTracedTimerPortsOnlyWhenAsked) {
    {
        harbor::RecordTracer tracer(false);
        EDict r = Record(30059);
        HxPortSend(A("AppPort"), &r);
        HxPortPost(A("TimerPortTick"), &r, 0);
        HxPortPost(A("PM"), &r, 5);
        HxAdvanceTime(5);
        harbor::TraceNote("ResPort", "a note");
    }
    EXPECT_EQ(lines_, (std::vector<std::string>{
                          "[       0] send    AppPort            30059",
                          "[       0] post+5  PM                 30059",
                          "[       5] deliver PM                 30059",
                          "[       5] note    ResPort            a note",
                      }));
    lines_.clear();
    harbor::RecordTracer tracer(true);
    EDict r = Record(30040);
    HxPortPost(A("TimerPortTick"), &r, 0);
    EXPECT_EQ(lines_, std::vector<std::string>{"[       5] post+0  TimerPortTick      30040"});
}

}  // namespace
