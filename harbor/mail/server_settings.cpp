#include "mail/server_settings.h"

#include <fcntl.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "fileio/atomic_file.h"

namespace harbor {

namespace {

std::string Scheme(const std::string& address) {
    const auto colon = address.find("://");
    return colon == std::string::npos ? "" : address.substr(0, colon);
}

// The host of "scheme://host[:port][/]", without brackets.
std::string HostOf(const std::string& address) {
    const auto start = address.find("://");
    if (start == std::string::npos) return "";
    std::string rest = address.substr(start + 3);
    rest = rest.substr(0, rest.find('/'));
    if (!rest.empty() && rest[0] == '[') return rest.substr(1, rest.find(']') - 1);
    return rest.substr(0, rest.find(':'));
}

std::string PortOf(const std::string& address) {
    const auto start = address.find("://") + 3;
    std::string rest = address.substr(start);
    rest = rest.substr(0, rest.find('/'));
    const auto colon = rest.rfind(':');
    if (colon == std::string::npos || (rest[0] == '[' && colon < rest.find(']'))) return "";
    return rest.substr(colon + 1);
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string TextField(const nlohmann::json& j, const char* key) {
    auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool FlagField(const nlohmann::json& j, const char* key) {
    auto it = j.find(key);
    return it != j.end() && it->is_boolean() && it->get<bool>();
}

}  // namespace

std::filesystem::path ServerSettingsFile(const std::filesystem::path& data_root) { return data_root / ".mailserver"; }

std::optional<ServerSettings> LoadServerSettings(const std::filesystem::path& data_root, std::string& error) {
    const std::filesystem::path file = ServerSettingsFile(data_root);
    std::error_code ec;
    if (data_root.empty() || !std::filesystem::exists(file, ec)) return std::nullopt;
    const nlohmann::json j = nlohmann::json::parse(ReadAll(file), nullptr, false);
    if (!j.is_object()) {
        error = file.string() + " is not a settings file";
        return std::nullopt;
    }
    ServerSettings s{TextField(j, "imap"), TextField(j, "smtp"), TextField(j, "domain"), TextField(j, "ca_file"),
                     FlagField(j, "login_with_domain"), FlagField(j, "delete_after_fetch")};
    for (const auto& [address, protocol] : {std::pair{s.imap, "imap"}, std::pair{s.smtp, "smtp"}}) {
        if (std::string why = CheckServerAddress(address, protocol); !why.empty()) {
            error = file.string() + ": " + why;
            return std::nullopt;
        }
    }
    return s;
}

bool SaveServerSettings(const std::filesystem::path& data_root, const ServerSettings& s, std::string& error) {
    const nlohmann::json j = {{"imap", s.imap},
                              {"smtp", s.smtp},
                              {"domain", s.domain},
                              {"ca_file", s.ca_file},
                              {"login_with_domain", s.login_with_domain},
                              {"delete_after_fetch", s.delete_after_fetch}};
    std::error_code ec;
    std::filesystem::create_directories(data_root, ec);
    const UniqueFd dir(::open(data_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.Valid()) {
        error = SystemError("cannot open " + data_root.string());
        return false;
    }
    return WriteAtomically(dir.Get(), ServerSettingsFile(data_root).filename().string(), j.dump(2) + "\n", true, nullptr,
                           error);
}

ServerSettings ServerDefaults(const std::filesystem::path& content_dir) {
    const nlohmann::json j = nlohmann::json::parse(ReadAll(content_dir / "WNSettings.dct"), nullptr, false, true);
    ServerSettings s;
    if (!j.is_object()) return s;
    auto port = [&](const char* key) {
        auto it = j.find(key);
        return it != j.end() && it->is_number_integer() && it->get<int>() > 0 ? ":" + std::to_string(it->get<int>()) : "";
    };
    if (const std::string host = TextField(j, "IMAPSERVER"); !host.empty()) s.imap = "imaps://" + host + port("IMAPPORT");
    if (const std::string host = TextField(j, "SMTPSERVER"); !host.empty()) s.smtp = "smtp://" + host + port("SMTPPORT");
    s.domain = TextField(j, "DOMAIN");
    return s;
}

bool IsLoopbackAddress(const std::string& address) {
    const std::string host = HostOf(address);
    return host == "127.0.0.1" || host == "::1" || host == "localhost";
}

std::string CheckServerAddress(const std::string& address, const std::string& protocol) {
    const std::string scheme = Scheme(address);
    if (scheme != protocol && scheme != protocol + "s") {
        return "'" + address + "' is no " + protocol + ":// or " + protocol + "s:// address";
    }
    const std::string host = HostOf(address);
    if (host.empty() || host.find_first_of(" \t\r\n@/?#") != std::string::npos) return "'" + address + "' names no host";
    const std::string port = PortOf(address);
    if (!port.empty() && (port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos ||
                          std::stoi(port) == 0 || std::stoi(port) > 65535)) {
        return "'" + address + "' has no valid port";
    }
    const auto path = address.find('/', address.find("://") + 3);
    if (path != std::string::npos && path + 1 != address.size()) return "'" + address + "' has a path; give only the server";
    return "";
}

std::string LoginName(const ServerSettings& settings, const std::string& id) {
    return settings.login_with_domain && !settings.domain.empty() ? id + "@" + settings.domain : id;
}

}  // namespace harbor
