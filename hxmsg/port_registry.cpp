#include "port_registry.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace hxmsg {

namespace {

// Keeps a port's delivery count right however the handler loop is left.
class DeliveryScope {
public:
    explicit DeliveryScope(unsigned& count) : count_(count) { ++count_; }
    ~DeliveryScope() { --count_; }
    DeliveryScope(const DeliveryScope&) = delete;
    DeliveryScope& operator=(const DeliveryScope&) = delete;

private:
    unsigned& count_;
};

// The barrier around every handler: an exception never unwinds through the sender's frames (which
// may be another library's C code). It is reported and counts as "not taken", and the port's
// other handlers still get the record.
bool CallHandler(HxHandler handler, uint16_t port, EDict* record) {
    try {
        return handler(record);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hxmsg: a handler on port %u failed: %s\n", unsigned{port}, e.what());
    } catch (...) {
        std::fprintf(stderr, "hxmsg: a handler on port %u failed\n", unsigned{port});
    }
    return false;
}

} // namespace

PortRegistry::Port& PortRegistry::FindOrAdd(uint16_t port) {
    if (port >= ports_.size()) ports_.resize(size_t{port} + 1);
    if (!ports_[port]) ports_[port] = std::make_unique<Port>();
    return *ports_[port];
}

PortRegistry::Entry* PortRegistry::FindLive(Port& port, HxHandler handler) {
    auto it = std::find_if(port.entries.begin(), port.entries.end(),
                           [handler](const Entry& e) { return e.handler == handler; });
    return it == port.entries.end() ? nullptr : &*it;
}

void PortRegistry::Compact(Port& port) {
    std::erase_if(port.entries, [](const Entry& e) { return e.handler == nullptr; });
    port.has_blanks = false;
}

bool PortRegistry::Attach(uint16_t port, HxHandler handler) {
    if (port == 0 || handler == nullptr) return false;
    Port& p = FindOrAdd(port);
    if (FindLive(p, handler) == nullptr) p.entries.push_back({handler, next_serial_++});
    return true;
}

bool PortRegistry::Detach(uint16_t port, HxHandler handler) {
    if (port == 0 || handler == nullptr) return false;
    Port* found = Find(port);
    if (found == nullptr) return false;
    Port& p = *found;
    Entry* entry = FindLive(p, handler);
    if (entry == nullptr) return false;
    entry->handler = nullptr;
    p.has_blanks = true;
    if (p.deliveries == 0) Compact(p);
    return true;
}

bool PortRegistry::Deliver(uint16_t port, EDict* record) {
    Port* found = Find(port);
    if (found == nullptr) return false;
    Port& p = *found;
    const uint64_t attached_before = next_serial_;
    bool answered = false;
    {
        DeliveryScope scope(p.deliveries);
        // Indexing, not iterators: handlers may append to the list while it is walked.
        for (size_t i = 0; i < p.entries.size(); ++i) {
            Entry entry = p.entries[i];
            if (entry.handler == nullptr || entry.serial >= attached_before) continue;
            answered = CallHandler(entry.handler, port, record) || answered;
        }
    }
    if (p.deliveries == 0 && p.has_blanks) Compact(p);
    return answered;
}

void PortRegistry::DetachAll() {
    for (auto& p : ports_) {
        if (!p) continue;
        for (Entry& e : p->entries) e.handler = nullptr;
        p->has_blanks = true;
        if (p->deliveries == 0) Compact(*p);
    }
}

} // namespace hxmsg
