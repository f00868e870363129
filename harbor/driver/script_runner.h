// Runs a parsed script on a driver. It stops at the first failure and reports it as
//   FILE:LINE: expect text TxtCsName "Ann": found text TxtCsName "Bob"
// so the exit status of `harbor --script` tells whether the session went as written.
#ifndef HARBOR_DRIVER_SCRIPT_RUNNER_H
#define HARBOR_DRIVER_SCRIPT_RUNNER_H

#include <string>

#include "driver/driver.h"
#include "driver/script.h"

namespace harbor {

struct ScriptOutcome {
    bool ok = true;
    std::string failure;  // the report of the command that failed
    int failed_line = 0;
    int commands_run = 0;
};

ScriptOutcome RunScript(const Script& script, Driver& driver);

}  // namespace harbor

#endif
