// Telling stored message files from the other files of a mailbox folder by name.
#ifndef WRENMAIL_STORE_STORED_NAMES_H
#define WRENMAIL_STORE_STORED_NAMES_H

namespace wm {

// True when the name's second "."-separated token (empty tokens skipped) is exactly "wnl":
// "WN12.wnl" is a message file, "folder.dat" and a name without a second token are not.
bool IsMessageFileName(const char* name);

}  // namespace wm

#endif
