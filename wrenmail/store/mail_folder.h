// The mailbox folder tree under the file service's root, and the per-folder counter of message
// ids. The module never builds paths: it walks the file service's current directory one level at
// a time, so every operation here acts on (or first sets) the directory of the module's handle.
//
//   MailBoxes / kiteAccounts | Players / <owner ID> / OutBox | InBox | Trash
#ifndef WRENMAIL_STORE_MAIL_FOLDER_H
#define WRENMAIL_STORE_MAIL_FOLDER_H

#include <cstdint>

#include "messaging/name_atoms.h"

WM_DECLARE_ATOM(store, LastID)

namespace wm {

// Whose mailbox: any non-zero kind other than a kite account is a player.
enum MailOwnerKind : uint32_t { OwnerNone = 0, OwnerKiteAccount = 1, OwnerPlayer = 2 };
// Any other number stays in the owner's directory.
enum MailFolder : uint32_t { FolderOwner = 0, FolderOutBox = 1, FolderInBox = 2, FolderTrash = 3 };

inline constexpr const char* kFolderFile = "folder.dat";

// Makes the folder current, creating each missing level on the way; a null owner stops at the
// owner kind's directory, kind 0 at "MailBoxes". The owner ID is used as given.
void OpenMailFolder(const char* ownerId, uint32_t ownerKind, uint32_t folder);

// The last id handed out in the current folder: 0 when "folder.dat" lacks it; 1 when there is no
// readable "folder.dat", which is then created empty.
uint32_t ReadLastId();
// Rewrites "folder.dat" to hold only this id.
void WriteLastId(uint32_t id);

}  // namespace wm

#endif
