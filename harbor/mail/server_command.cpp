#include "mail/server_command.h"

#include <fstream>
#include <map>
#include <ostream>
#include <set>

#include "mail/server_settings.h"
#include "fileio/data_root_lock.h"

namespace harbor {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const std::set<std::string> kValued = {"--imap", "--smtp", "--domain", "--ca-file", "--login", "--data"};
const std::set<std::string> kFlags = {"--delete-after-fetch", "--keep-on-server"};

struct Words {
    std::string verb;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;
    bool help = false;
    std::string error;
};

Words Parse(const std::vector<std::string>& args) {
    Words w;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string word = args[i];
        std::string value;
        bool has_value = false;
        if (const auto eq = word.find('='); word.starts_with("--") && eq != std::string::npos) {
            value = word.substr(eq + 1);
            word = word.substr(0, eq);
            has_value = true;
        }
        if (word == "--help" || word == "-h") {
            w.help = true;
        } else if (kFlags.contains(word)) {
            w.flags.insert(word);
        } else if (kValued.contains(word)) {
            if (!has_value && i + 1 >= args.size()) return w.error = word + " needs a value", w;
            w.options[word] = has_value ? value : args[++i];
        } else if (word.starts_with("-")) {
            return w.error = "unknown option " + word, w;
        } else if (w.verb.empty()) {
            w.verb = word;
        } else {
            return w.error = "unexpected word '" + word + "'", w;
        }
    }
    return w;
}

void Show(const ServerSettings& s, std::ostream& out) {
    out << "imap: " << s.imap << "\nsmtp: " << s.smtp << "\ndomain: " << s.domain
        << "\nca-file: " << (s.ca_file.empty() ? "(the system's trust store)" : s.ca_file)
        << "\nlogin: " << (s.login_with_domain ? "id@domain" : "id")
        << "\nafter fetch: " << (s.delete_after_fetch ? "deleted from the server" : "kept on the server") << "\n";
}

int Set(const Words& w, const std::filesystem::path& root, const std::filesystem::path& content_dir, std::ostream& out,
        std::ostream& err) {
    std::string error;
    ServerSettings s = LoadServerSettings(root, error).value_or(ServerDefaults(content_dir));
    auto take = [&](const char* option, std::string& field) {
        if (auto it = w.options.find(option); it != w.options.end()) field = it->second;
    };
    take("--imap", s.imap);
    take("--smtp", s.smtp);
    take("--domain", s.domain);
    take("--ca-file", s.ca_file);
    if (auto it = w.options.find("--login"); it != w.options.end()) {
        if (it->second != "id" && it->second != "id@domain") {
            err << "harbor server: --login is id or id@domain\n";
            return kUsage;
        }
        s.login_with_domain = it->second == "id@domain";
    }
    if (w.flags.contains("--delete-after-fetch") && w.flags.contains("--keep-on-server")) {
        err << "harbor server: --delete-after-fetch and --keep-on-server exclude each other\n";
        return kUsage;
    }
    if (w.flags.contains("--delete-after-fetch")) s.delete_after_fetch = true;
    if (w.flags.contains("--keep-on-server")) s.delete_after_fetch = false;
    for (const auto& [address, protocol] : {std::pair{s.imap, "imap"}, std::pair{s.smtp, "smtp"}}) {
        if (std::string why = CheckServerAddress(address, protocol); !why.empty()) {
            err << "harbor server: " << (address.empty() ? std::string("--") + protocol + " is needed" : why) << "\n";
            return kUsage;
        }
    }
    if (s.domain.empty() || s.domain.find_first_of(" \t@/") != std::string::npos) {
        err << "harbor server: --domain needs a mail domain such as example.org\n";
        return kUsage;
    }
    if (!s.ca_file.empty()) {
        std::error_code ec;
        const std::filesystem::path ca = std::filesystem::absolute(s.ca_file, ec);
        if (ec || !std::ifstream(ca).good()) {
            err << "harbor server: the CA file " << s.ca_file << " cannot be read\n";
            return kFailed;
        }
        s.ca_file = ca.string();
    }
    if (!SaveServerSettings(root, s, error)) {
        err << "harbor server: " << error << "\n";
        return kFailed;
    }
    Show(s, out);
    return kDone;
}

}  // namespace

int RunServerCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& default_data, const std::filesystem::path& content_dir) {
    const Words w = Parse(args);
    if (w.help) {
        out << ServerHelp();
        return kDone;
    }
    if (!w.error.empty()) {
        err << "harbor server: " << w.error << "\n" << ServerHelp();
        return kUsage;
    }
    const std::filesystem::path root = w.options.count("--data") ? std::filesystem::path(w.options.at("--data")) : default_data;
    // Changing the settings writes into the data root: one harbor at a time.
    int busy = kUsage;
    std::optional<DataRootLock> lock;
    if ((w.verb == "set" || w.verb == "clear") && !(lock = LockForCommand(root, "server " + w.verb, err, busy))) return busy;
    if (w.verb == "set") return Set(w, root, content_dir, out, err);
    if (w.verb != "show" && w.verb != "clear") {
        err << "harbor server: " << (w.verb.empty() ? "a verb is needed" : "unknown verb '" + w.verb + "'") << "\n" << ServerHelp();
        return kUsage;
    }
    std::string error;
    const std::optional<ServerSettings> s = LoadServerSettings(root, error);
    if (w.verb == "show") {
        if (s) Show(*s, out);
        if (!error.empty()) err << "harbor server: " << error << "\n";
        if (!s && error.empty()) out << "no mail server: the embedded post office is used\n";
        return error.empty() ? kDone : kFailed;
    }
    std::error_code ec;
    std::filesystem::remove(ServerSettingsFile(root), ec);
    if (ec) {
        err << "harbor server: cannot remove " << ServerSettingsFile(root).string() << ": " << ec.message() << "\n";
        return kFailed;
    }
    out << "no mail server: the embedded post office is used\n";
    return kDone;
}

std::string ServerHelp() {
    return R"(harbor server set --imap imaps://HOST[:PORT] --smtp smtp://HOST[:PORT] --domain DOMAIN
                  [--ca-file FILE] [--login id|id@domain] [--delete-after-fetch | --keep-on-server]
                  [--data DIR]
  Uses a real mail server for the data folder instead of the embedded post office. A child signs
  in with the kite ID and the password of the server's account (login name ID, or ID@DOMAIN).
  imaps:// and smtps:// use TLS from the start; imap:// and smtp:// (port 587) upgrade with
  STARTTLS, and go unencrypted only to this computer (127.0.0.1, ::1, localhost). Certificates
  are checked against the system's trust store, or FILE. Mail stays on the server after it is
  fetched unless --delete-after-fetch. Options left out keep their value, at first the
  content's WNSettings.dct values (IMAPSERVER, IMAPPORT, SMTPSERVER, SMTPPORT, DOMAIN).
harbor server show [--data DIR]
  Shows the data folder's mail server.
harbor server clear [--data DIR]
  Goes back to the embedded post office. Letters not yet sent stay in .remote/spool.

No password is ever written to the data folder.
Exit status: 0 done; 1 the command could not be done; 2 wrong usage; 3 another harbor uses the
data folder (set and clear wait 5 seconds for it).
)";
}

}  // namespace harbor
