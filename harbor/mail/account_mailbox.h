// A kite account's stored letters, MailBoxes/kiteAccounts/<ID> under the data root (the module's
// store makes it at the account's first sign-in). When an account is removed its letters are
// kept aside or deleted, never left where a new account of the same name would find them.
#ifndef HARBOR_MAIL_ACCOUNT_MAILBOX_H
#define HARBOR_MAIL_ACCOUNT_MAILBOX_H

#include <cstdint>
#include <filesystem>
#include <string>

namespace harbor {

std::filesystem::path AccountMailbox(const std::filesystem::path& data_root, const std::string& kite_id);

// Moves the mailbox to MailBoxes/Removed/<ID>-<date and time> and gives that folder, or "" when
// there was no mailbox; `error` is set when it could not be moved.
std::filesystem::path SetMailboxAside(const std::filesystem::path& data_root, const std::string& kite_id,
                                      uint32_t now, std::string& error);
// Deletes the mailbox: false (with `error`) when it could not.
bool DeleteMailbox(const std::filesystem::path& data_root, const std::string& kite_id, std::string& error);

}  // namespace harbor

#endif
