// Test support: records every send and post that crosses any port, through the trace hook.
#ifndef WRENMAIL_TESTS_MESSAGING_PORT_LOG_H
#define WRENMAIL_TESTS_MESSAGING_PORT_LOG_H

#include <cstdint>
#include <utility>
#include <vector>

#include "edict.h"
#include "hxmsg.h"

struct PortEvent {
    int event;
    uint16_t port;
    EDict record;
    int32_t delay;
};

class PortLog {
public:
    PortLog() { HxSetTraceHook(&PortLog::Hook, this); }
    ~PortLog() { HxSetTraceHook(nullptr, nullptr); }
    PortLog(const PortLog&) = delete;
    PortLog& operator=(const PortLog&) = delete;

    // Sends and posts as the sender made them; deliveries are left out.
    const std::vector<PortEvent>& Requests() const { return requests_; }
    const std::vector<PortEvent>& Deliveries() const { return deliveries_; }

private:
    static void Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user) {
        auto* log = static_cast<PortLog*>(user);
        PortEvent entry{event, port, *record, delay};
        (event == HxTraceDeliver ? log->deliveries_ : log->requests_).push_back(entry);
    }

    std::vector<PortEvent> requests_;
    std::vector<PortEvent> deliveries_;
};

// The keys of a record with their kinds, in slot order.
inline std::vector<std::pair<uint16_t, uint16_t>> KeysOf(const EDict& record) {
    std::vector<std::pair<uint16_t, uint16_t>> keys;
    for (int32_t n = 0; n < EDictKeyCount(&record); ++n) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(&record, n, &type);
        keys.emplace_back(key, type);
    }
    return keys;
}

#endif
