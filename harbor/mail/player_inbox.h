// Delivery into a player's InBox the way the module's store keeps it, so that the module finds
// the message at its next start: MailBoxes/Players/<player>/InBox under the data root, a
// "folder.dat" dictionary file holding "LastID", and one dictionary file "WN<id>.wnl" per
// message holding "Message" (the whole message text) and "MailID". Ids are handed out as the
// store does: "LastID" plus one (a missing or unreadable "folder.dat" counts as 1), stepping past
// existing message files and wrapping after 100000.
#ifndef HARBOR_MAIL_PLAYER_INBOX_H
#define HARBOR_MAIL_PLAYER_INBOX_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

// A player is known once the module has made the player's mailbox folder.
bool PlayerKnown(const std::filesystem::path& data_root, const std::string& player);

// The new message's id, or 0 (with `error`) when it could not be stored.
uint32_t SaveToPlayerInbox(const std::filesystem::path& data_root, const std::string& player, std::string_view message,
                           bool durable, std::string& error);

// The texts of a kite account's InBox message files, its folder found in any letter case and no
// link followed: where a fetched letter is looked for after a crash.
std::vector<std::string> KiteInboxTexts(const std::filesystem::path& data_root, const std::string& account);
// A fetched letter the way the module keeps it in a message file (the mail service's Data).
std::string StoredForm(const std::string& letter);

}  // namespace harbor

#endif
