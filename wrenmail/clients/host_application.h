// Requests to the host application on HarborPort: ending, opening a web address, and the answer
// to the host's question whether the module may be closed.
#ifndef WRENMAIL_CLIENTS_HOST_APPLICATION_H
#define WRENMAIL_CLIENTS_HOST_APPLICATION_H

#include <cstdint>

#include "messaging/name_atoms.h"

WM_DECLARE_ATOM(shell, HarborPort)

namespace wm {

// Ticks between the host's close question and the module's confirmation.
inline constexpr int32_t kQuitConfirmTicks = 20;

// Asks the host to end the application.
void RequestApplicationEnd();
// Asks the host to open the address (sent, so the text need only live through the call).
void OpenWebAddress(const char* address);
// Queues the keyless 30003 that tells the host it may close the module.
void QueueQuitConfirmation();

}  // namespace wm

#endif
