// The module's lifecycle as PM_Main runs it: start, stop, the host's close question, and the
// actions the module posts to itself on PM.
#ifndef WRENMAIL_APP_LIFECYCLE_H
#define WRENMAIL_APP_LIFECYCLE_H

#include <cstdint>

#include "edict.h"

namespace wm {

// Everything PM_Main does with one record.
void HandleLifecycle(EDict* record);

// Answers AOK = 0 in the record and confirms to the host, a little later, that it may close.
void AnswerCloseQuestion(EDict* record);
// A start while running is ignored.
void StartModule(const EDict* start);
// Safe to repeat: a second stop finds nothing left to release.
void StopModule();
bool ModuleRunning();
// Runs the module action the record's type names; other types do nothing.
void RunModuleAction(uint16_t type);

}  // namespace wm

#endif
