// The module's side of the host's connection manager on RASPort: dialling before a sign-in, and the
// dial outcome and line-drop notices that arrive on ConnectPort.
#ifndef WRENMAIL_TRANSPORT_CONNECTION_CLIENT_H
#define WRENMAIL_TRANSPORT_CONNECTION_CLIENT_H

#include <cstdint>

#include "edict.h"

namespace wm {

// True when the host has a connection manager (and so the line may need dialling).
bool HasConnectionManager();

// Leads to aValidateUser on the sign-in port: at once when a connection is up or no manager
// exists, otherwise after the posted dial request succeeds (aOnConnectionFailed when it fails).
void StartDial();

// A notice on ConnectPort: the dial outcome (30092) or the line dropped (30093); others are ignored.
void HandleConnectionNotice(const EDict* record);

}  // namespace wm

#endif
