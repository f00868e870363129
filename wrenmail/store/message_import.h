// Mail dropped into the data root's "Import" folder for a player: each file is a data dictionary
// with the texts TO, FROM, SUBJECT, MAILTYPE and MESSAGE and the number DATE. At start every file
// there is stored in its player's InBox and deleted.
#ifndef WRENMAIL_STORE_MESSAGE_IMPORT_H
#define WRENMAIL_STORE_MESSAGE_IMPORT_H

namespace wm {

inline constexpr const char* kImportFolder = "Import";

// Imports and deletes every file of "Import" (made when missing); files that cannot be imported
// are deleted too.
void ImportWaitingMessages();

// Stores the import file of the file service's current directory as a new message of its player's
// InBox. False when it is not a data dictionary or names no usable player.
bool ImportMessageFile(const char* fileName);

}  // namespace wm

#endif
