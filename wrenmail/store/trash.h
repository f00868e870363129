// Moving a message from an inbox to its owner's Trash, and emptying a Trash.
#ifndef WRENMAIL_STORE_TRASH_H
#define WRENMAIL_STORE_TRASH_H

#include <cstdint>

namespace wm {

// Moves the message `id` of the owner kind's inbox (the kite ID's for a kite account, the player
// ID's otherwise) to that owner's Trash, where it gets a new id, and drops its header. A message
// file that cannot be read is deleted and nothing reaches the Trash.
void TrashMessage(uint32_t ownerKind, uint32_t id);

// Deletes every file of the owner's Trash, "folder.dat" too, so its ids start afresh.
void EmptyTrash(const char* ownerId, uint32_t ownerKind);

}  // namespace wm

#endif
