// Message files: one dictionary file per stored message, "WN<id>.wnl" in its folder, holding the
// mail service's whole text of the message under "Message" and its id under "MailID". Ids are
// per folder and run from 1 to 100000, handed out from the folder's "LastID" onwards.
#ifndef WRENMAIL_STORE_MESSAGE_FILE_H
#define WRENMAIL_STORE_MESSAGE_FILE_H

#include <cstddef>
#include <cstdint>

#include "messaging/name_atoms.h"

WM_DECLARE_ATOM(store, MailID)

namespace wm {

inline constexpr uint32_t kMaxMessageId = 100000;
// Room for the name of any 32-bit id.
inline constexpr std::size_t kMessageFileNameSize = 24;

void FormatMessageFileName(char (&buffer)[kMessageFileNameSize], uint32_t id);

// Whether the id's file in the current folder reads as a dictionary.
bool MessageFileExists(uint32_t id);

// Stores the mail service's message as a new file of the current folder; the new id, or 0 when
// every id is taken or there is no file service.
uint32_t SaveMessageToFolder(uint32_t message);

// The stored text of a message file of the current folder, with its id in `mailId`; null, with
// `mailId` untouched, when the file does not read as a dictionary. A file without a text gives "".
// The text belongs to the file service and lives until its next read.
const char* LoadMessageFile(const char* fileName, uint32_t* mailId);
const char* LoadMessageById(uint32_t id, uint32_t* mailId);

}  // namespace wm

#endif
