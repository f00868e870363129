// Test support: the one log of what crossed the ports, taken from the trace hook. Sends and posts
// are kept as the sender made them, deliveries as the handler was given them.
#ifndef WRENMAIL_TESTS_FAKES_PORT_LOG_H
#define WRENMAIL_TESTS_FAKES_PORT_LOG_H

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "edict.h"
#include "hxmsg.h"

struct HostRequest {
    int event;  // HxTraceSend, HxTracePost or HxTraceDeliver
    uint16_t port;
    EDict record;
    int32_t delay;
    bool posted;
};

class PortLog {
public:
    void Install() { HxSetTraceHook(&PortLog::Hook, this); }
    static void Uninstall() { HxSetTraceHook(nullptr, nullptr); }

    // Sends and posts to the port (0: any) of the type (0: any).
    std::vector<HostRequest> Requests(uint16_t port = 0, uint16_t type = 0) const { return Filter(port, type, false, false); }
    std::vector<HostRequest> Posted(uint16_t port, uint16_t type = 0) const { return Filter(port, type, false, true); }
    std::vector<HostRequest> Delivered(uint16_t port, uint16_t type = 0) const { return Filter(port, type, true, false); }
    std::size_t Count(uint16_t port = 0, uint16_t type = 0) const { return Requests(port, type).size(); }
    void Forget() { events_.clear(); }

private:
    std::vector<HostRequest> Filter(uint16_t port, uint16_t type, bool delivered, bool postedOnly) const;
    static void Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user);

    std::vector<HostRequest> events_;
};

// The keys of a record with their kinds, in slot order.
std::vector<std::pair<uint16_t, uint16_t>> KeysOf(const EDict& record);

#endif
