// The headless demo session: starts the module, lets a second of clock time pass, tells what the
// module shows, and closes it the way a user would.
#ifndef HARBOR_DRIVER_DEMO_H
#define HARBOR_DRIVER_DEMO_H

#include <ostream>

#include "runtime/session.h"

namespace harbor {

// The module must be loaded. Returns the exit status: 0, or 1 when the module could not start.
int RunDemo(Session& session, std::ostream& out);

}  // namespace harbor

#endif
