// The family's own mail domain: DOMAIN of the settings file WNSettings.dct in the content folder.
// Addresses in it are shown as bare kite IDs and are delivered by the embedded post office.
#ifndef HARBOR_MAIL_MAIL_DOMAIN_H
#define HARBOR_MAIL_MAIL_DOMAIN_H

#include <filesystem>
#include <string>

namespace harbor {

// kDefaultMailDomain when the file or the key is missing, unreadable or empty.
std::string MailDomainFromSettings(const std::filesystem::path& content_dir);

}  // namespace harbor

#endif
