// The handles of host services that stay open while the module runs: the file service, the mail
// manager of the signed-in account, and the dial-up connection. 0 means none.
#ifndef WRENMAIL_SHELL_SERVICE_HANDLES_H
#define WRENMAIL_SHELL_SERVICE_HANDLES_H

#include <cstdint>

namespace wm {

struct ServiceHandles {
    uint32_t fileService = 0;
    uint32_t mailManager = 0;
    uint32_t connection = 0;
};

ServiceHandles& Services();

// Closes the held mail manager at the mail service and forgets it.
void CloseMailManager();
// Asks the connection manager to hang the held connection up. The handle is kept: only the
// connection manager's line-dropped notice clears it.
void ReleaseConnection();

}  // namespace wm

#endif
