// Ports and their handlers, and the synchronous delivery of one record to a port.
#ifndef WRENMAIL_HXMSG_PORT_REGISTRY_H
#define WRENMAIL_HXMSG_PORT_REGISTRY_H

#include <cstdint>
#include <memory>
#include <vector>

#include "hxmsg.h"

namespace hxmsg {

// Handlers may attach, detach and deliver again while a delivery runs. A port's handler list is
// therefore only appended to while that port delivers: a detached handler is blanked and removed
// once the port's last delivery ends, and each delivery skips handlers attached after it began.
class PortRegistry {
public:
    bool Attach(uint16_t port, HxHandler handler);
    bool Detach(uint16_t port, HxHandler handler);
    // Runs the port's handlers in attach order; true when one of them answered true.
    bool Deliver(uint16_t port, EDict* record);
    void DetachAll();

private:
    struct Entry {
        HxHandler handler; // null once detached during a delivery
        uint64_t serial;   // attach order across all ports
    };
    struct Port {
        std::vector<Entry> entries;
        unsigned deliveries = 0; // deliveries to this port now running (they may nest)
        bool has_blanks = false;
    };

    Port* Find(uint16_t port) const { return port < ports_.size() ? ports_[port].get() : nullptr; }
    Port& FindOrAdd(uint16_t port);
    static Entry* FindLive(Port& port, HxHandler handler);
    static void Compact(Port& port);

    // Indexed by port atom (atoms are handed out from 1 up, so this stays short). Ports live on
    // the heap: a running delivery keeps its port while the index grows.
    std::vector<std::unique_ptr<Port>> ports_;
    uint64_t next_serial_ = 1;
};

} // namespace hxmsg

#endif
