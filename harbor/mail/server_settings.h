// The real mail server a data root uses instead of the embedded post office, kept in the data
// root's ".mailserver" file (JSON; no password is ever kept there). Written by `harbor server`.
#ifndef HARBOR_MAIL_SERVER_SETTINGS_H
#define HARBOR_MAIL_SERVER_SETTINGS_H

#include <filesystem>
#include <optional>
#include <string>

namespace harbor {

struct ServerSettings {
    std::string imap;     // imaps://HOST[:PORT] or imap://HOST[:PORT] (STARTTLS; plain only to loopback)
    std::string smtp;     // smtps://HOST[:PORT] or smtp://HOST[:PORT] (STARTTLS; plain only to loopback)
    std::string domain;   // the kite IDs' mail domain
    std::string ca_file;  // empty: the system's trust store
    bool login_with_domain = false;   // sign in as ID@DOMAIN rather than ID
    bool delete_after_fetch = false;  // remove a message from the server once it is stored
};

std::filesystem::path ServerSettingsFile(const std::filesystem::path& data_root);

// Nothing when the data root names no server; `error` says why a file that is there is not used.
std::optional<ServerSettings> LoadServerSettings(const std::filesystem::path& data_root, std::string& error);
bool SaveServerSettings(const std::filesystem::path& data_root, const ServerSettings& settings, std::string& error);

// The settings file's defaults from the content's WNSettings.dct (IMAPSERVER, IMAPPORT, SMTPSERVER,
// SMTPPORT, DOMAIN): empty fields when it names none.
ServerSettings ServerDefaults(const std::filesystem::path& content_dir);

// "" when the address can be used for the protocol ("imap" or "smtp"), else why not.
std::string CheckServerAddress(const std::string& address, const std::string& protocol);
// True for 127.0.0.1, ::1 and localhost: the only hosts a password may reach unencrypted.
bool IsLoopbackAddress(const std::string& address);
// The login name of a kite ID.
std::string LoginName(const ServerSettings& settings, const std::string& id);

}  // namespace harbor

#endif
