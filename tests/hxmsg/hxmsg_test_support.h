// Shared pieces of the messaging tests: handlers that log their calls, and a fixture that starts
// every test from a fresh messaging state (the library's state is process-wide).
#ifndef WRENMAIL_TESTS_HXMSG_SUPPORT_H
#define WRENMAIL_TESTS_HXMSG_SUPPORT_H

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "hxmsg.h"

namespace hxtest {

struct Call {
    int handler;
    uint16_t type;
    uint64_t now;
};
inline std::vector<Call> calls;
inline bool answers[4] = {};
inline std::function<void(int, EDict*)> during; // runs inside a handler, after it logs

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
inline std::vector<int> Handlers() { return Column([](const Call& c) { return c.handler; }); }
inline std::vector<uint16_t> Types() { return Column([](const Call& c) { return c.type; }); }
inline std::vector<uint64_t> Times() { return Column([](const Call& c) { return c.now; }); }

inline EDict Record(uint16_t type) {
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

} // namespace hxtest

#endif
