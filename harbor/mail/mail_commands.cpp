#include "mail/mail_commands.h"

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "mail/account_book.h"
#include "mail/import_file.h"
#include "mail/mime_message.h"
#include "mail/password_prompt.h"
#include "mail/post_office.h"

namespace harbor {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct Parsed {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    std::string error;
};

// Splits "--name VALUE" and "--name=VALUE" from the plain words.
Parsed ParseWords(const std::vector<std::string>& args, std::size_t first) {
    Parsed parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (!word.starts_with("--")) {
            parsed.words.push_back(word);
            continue;
        }
        if (const auto eq = word.find('='); eq != std::string::npos) {
            parsed.options[word.substr(0, eq)] = word.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            parsed.options[word] = args[++i];
        } else {
            parsed.error = word + " needs a value";
        }
    }
    return parsed;
}

std::filesystem::path DataRoot(const Parsed& parsed, const MailCommandContext& c) {
    auto it = parsed.options.find("--data");
    return it != parsed.options.end() ? std::filesystem::path(it->second) : c.default_data;
}

std::optional<std::string> AskPassword(MailCommandContext& c, const std::string& name) {
    std::optional<std::string> first = ReadPassword(c.in, c.err, "Password for " + name + ": ", c.terminal);
    if (!first || !c.terminal) return first;
    std::optional<std::string> again = ReadPassword(c.in, c.err, "The same password again: ", c.terminal);
    if (!again || *again != *first) {
        c.err << "harbor: the two passwords differ\n";
        return std::nullopt;
    }
    return first;
}

int Report(MailCommandContext& c, AccountError e, const std::string& done) {
    if (e != AccountError::None) {
        c.err << "harbor: " << Describe(e) << "\n";
        return kFailed;
    }
    c.out << done << "\n";
    return kDone;
}

void ListAccounts(PostOffice& office, std::ostream& out) {
    const std::vector<std::string> names = office.Accounts().Names();
    if (names.empty()) out << "no accounts\n";
    for (const std::string& name : names) {
        out << name << "  (" << office.WaitingCount(name) << " waiting)\n";
    }
    const std::vector<SpooledMail> outgoing = office.Outgoing();
    if (outgoing.empty()) return;
    out << outgoing.size() << " outgoing, kept until a mail server is set up:\n";
    for (const SpooledMail& mail : outgoing) out << "  to " << mail.recipient << "\n";
}

int RunAccount(const std::vector<std::string>& args, MailCommandContext& c) {
    const Parsed parsed = ParseWords(args, 1);
    const std::filesystem::path root = DataRoot(parsed, c);
    if (!parsed.error.empty() || parsed.words.empty() || root.empty()) {
        c.err << "harbor: " << (parsed.error.empty() ? "usage: harbor account add|passwd|remove NAME, or list" : parsed.error)
              << (root.empty() ? " (no data folder: give --data DIR)" : "") << "\n";
        return kUsage;
    }
    PostOffice office({root, std::string(kDefaultMailDomain), c.password_cost, true});
    const std::string& verb = parsed.words[0];
    if (verb == "list" && parsed.words.size() == 1) {
        ListAccounts(office, c.out);
        return kDone;
    }
    if (parsed.words.size() != 2 || (verb != "add" && verb != "passwd" && verb != "remove")) {
        c.err << "harbor: usage: harbor account add|passwd|remove NAME, or list\n";
        return kUsage;
    }
    const std::string& name = parsed.words[1];
    if (verb == "remove") {
        const std::optional<std::string> account = office.Accounts().Find(name);
        const AccountError e = office.Accounts().Remove(name);
        if (e == AccountError::None && account) office.DiscardWaiting(*account);
        return Report(c, e, "removed " + name);
    }
    if (verb == "add" && !IsValidKiteId(name)) return Report(c, AccountError::InvalidName, "");
    if (verb == "passwd" && !office.Accounts().Find(name)) return Report(c, AccountError::Unknown, "");
    const std::optional<std::string> password = AskPassword(c, name);
    if (!password) {
        c.err << "harbor: no password given\n";
        return kFailed;
    }
    if (verb == "add") return Report(c, office.Accounts().Add(name, *password), "added " + name);
    return Report(c, office.Accounts().SetPassword(name, *password), "changed the password of " + name);
}

bool ReadWhole(const std::string& file, std::istream& in, std::string& out) {
    std::ostringstream text;
    if (file == "-") {
        text << in.rdbuf();
    } else {
        std::ifstream stream(file, std::ios::binary);
        if (!stream) return false;
        text << stream.rdbuf();
    }
    out = text.str();
    return true;
}

// A file that reads as a mail message gives its sender, subject, date and body.
ImportMail MailFromFile(const std::string& text, uint32_t now) {
    ImportMail mail;
    mail.date = now;
    mime::Ref<GMimeMessage> message = mime::MessageFromText(text);
    const std::string from = mime::Addresses(message.get(), GMIME_ADDRESS_TYPE_FROM, kDefaultMailDomain);
    const std::string subject = mime::Subject(message.get());
    if (from.empty() && subject.empty() && mime::Date(message.get()) == 0) {
        mail.body = mime::ToLf(text);
        return mail;
    }
    mail.from = from;
    mail.subject = subject;
    if (const uint32_t date = mime::Date(message.get()); date != 0) mail.date = date;
    mail.body = mime::Body(GMIME_OBJECT(message.get()));
    return mail;
}

void ApplyOptions(const Parsed& parsed, ImportMail& mail) {
    for (const auto& [name, value] : parsed.options) {
        if (name == "--player") mail.player = value;
        if (name == "--from") mail.from = value;
        if (name == "--subject") mail.subject = value;
        if (name == "--type") mail.type = value;
        if (name == "--date") mail.date = static_cast<uint32_t>(std::stoul(value));
    }
}

std::string UnknownOption(const Parsed& parsed) {
    for (const auto& [name, value] : parsed.options) {
        if (name != "--player" && name != "--from" && name != "--subject" && name != "--type" && name != "--date" &&
            name != "--data") {
            return "unknown option " + name;
        }
        if (name == "--date" && (value.empty() || value.find_first_not_of("0123456789") != std::string::npos ||
                                 value.size() > 10 || std::stoull(value) > UINT32_MAX)) {
            return "--date takes seconds since 1970";
        }
    }
    return parsed.options.count("--player") != 0 ? std::string() : std::string("--player ID is needed");
}

int RunImport(const std::vector<std::string>& args, MailCommandContext& c) {
    const Parsed parsed = ParseWords(args, 1);
    const std::filesystem::path root = DataRoot(parsed, c);
    std::string error = parsed.error.empty() ? UnknownOption(parsed) : parsed.error;
    if (error.empty() && parsed.words.empty()) error = "name at least one FILE ('-' for standard input)";
    if (error.empty() && root.empty()) error = "no data folder: give --data DIR";
    if (!error.empty()) {
        c.err << "harbor: import: " << error << "\n";
        return kUsage;
    }
    int status = kDone;
    for (const std::string& file : parsed.words) {
        std::string text;
        if (!ReadWhole(file, c.in, text)) {
            c.err << "harbor: import: cannot read " << file << "\n";
            status = kFailed;
            continue;
        }
        ImportMail mail = MailFromFile(text, c.now);
        ApplyOptions(parsed, mail);
        const std::string name = WriteImportFile(root, mail, error);
        if (name.empty()) {
            c.err << "harbor: import: " << file << ": " << error << "\n";
            status = kFailed;
            continue;
        }
        c.out << file << " -> " << (root / "Import" / name).string() << "\n";
    }
    return status;
}

}  // namespace

std::optional<int> RunMailCommand(const std::vector<std::string>& args, MailCommandContext& context) {
    if (args.empty()) return std::nullopt;
    if (args[0] == "account") return RunAccount(args, context);
    if (args[0] == "import") return RunImport(args, context);
    return std::nullopt;
}

std::string MailCommandHelp() {
    return R"(Post office commands (each takes --data DIR):
  harbor account add NAME       make a kite account; asks for its password (read without echo
                                from a terminal, else one line of standard input)
  harbor account passwd NAME    change an account's password
  harbor account remove NAME    remove an account and the mail waiting for it
  harbor account list           the accounts, their waiting mail, and the outgoing spool
  harbor import --player ID [--from ID] [--subject TEXT] [--type TYPE] [--date SECONDS] FILE...
                                put each FILE (a mail message, or plain text; '-' is standard
                                input) into the Import folder: the player's InBox receives it
                                at the module's next start
)";
}

}  // namespace harbor
