// HarborPort: the application itself. 30059 ends it, 30009 opens the web address in STRING,
// and 30003 confirms a close request that Harbor sent to the module as 30026.
#ifndef HARBOR_SERVICES_HARBOR_PORT_SERVICE_H
#define HARBOR_SERVICES_HARBOR_PORT_SERVICE_H

#include <functional>
#include <string>
#include <vector>

#include "edict.h"
#include "services/application.h"

namespace harbor {

class HarborPortService {
public:
    // Opens an address for the user; the windowed front end passes one that runs xdg-open.
    // Without one (headless), the address is only noted in the trace.
    using AddressOpener = std::function<void(const std::string& address)>;

    HarborPortService(Application& application, AddressOpener opener);
    ~HarborPortService();
    HarborPortService(const HarborPortService&) = delete;
    HarborPortService& operator=(const HarborPortService&) = delete;

    // The addresses asked for so far, in order.
    const std::vector<std::string>& OpenedAddresses() const { return opened_; }

private:
    static bool Handle(EDict* record);
    void OnRecord(const EDict& record);

    static HarborPortService* live_;  // HxHandler carries no context: one live instance
    Application& application_;
    AddressOpener opener_;
    std::vector<std::string> opened_;
    uint16_t port_;
};

// Starts xdg-open for an address without waiting for it and without a shell.
void OpenWithDesktop(const std::string& address);

}  // namespace harbor

#endif
