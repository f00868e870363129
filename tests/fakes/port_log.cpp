#include "port_log.h"

std::vector<HostRequest> PortLog::Filter(uint16_t port, uint16_t type, bool delivered, bool postedOnly) const {
    std::vector<HostRequest> found;
    for (const HostRequest& request : events_) {
        const bool isDelivery = request.event == HxTraceDeliver;
        if (isDelivery == delivered && (port == 0 || request.port == port) &&
            (type == 0 || EDictGetType(&request.record) == type) && (!postedOnly || request.posted)) {
            found.push_back(request);
        }
    }
    return found;
}

void PortLog::Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user) {
    static_cast<PortLog*>(user)->events_.push_back(HostRequest{event, port, *record, delay, event == HxTracePost});
}

std::vector<std::pair<uint16_t, uint16_t>> KeysOf(const EDict& record) {
    std::vector<std::pair<uint16_t, uint16_t>> keys;
    for (int32_t n = 0; n < EDictKeyCount(&record); ++n) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(&record, n, &type);
        keys.emplace_back(key, type);
    }
    return keys;
}
