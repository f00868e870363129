#include "mail/mail_commands.h"

#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "mail/account_book.h"
#include "mail/account_mailbox.h"
#include "mail/import_file.h"
#include "mail/import_source.h"
#include "mail/mime_message.h"
#include "mail/password_prompt.h"
#include "mail/post_office.h"
#include "fileio/data_root_lock.h"
#include "base/data_folder.h"

namespace harbor {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

struct Parsed {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    std::set<std::string> flags;  // options without a value
    std::string error;
    bool help = false;
};

// Options that take no value.
bool IsFlag(const std::string& word) { return word == "--keep-mail" || word == "--delete-mail"; }

// Splits "--name VALUE" and "--name=VALUE" from the plain words.
Parsed ParseWords(const std::vector<std::string>& args, std::size_t first) {
    Parsed parsed;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            parsed.help = true;
            continue;
        }
        if (IsFlag(word)) {
            parsed.flags.insert(word);
            continue;
        }
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

int Report(MailCommandContext& c, AccountError e, const std::string& what, const std::string& done) {
    if (e != AccountError::None) {
        c.err << "harbor: " << what << ": " << Describe(e) << "\n";
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

// Keep (true) or delete (false) a removed account's letters: the flag, else the answer to a
// question on the terminal; nothing when neither says.
std::optional<bool> KeepMail(const Parsed& parsed, MailCommandContext& c, const std::string& name) {
    const bool keep = parsed.flags.count("--keep-mail") != 0;
    const bool drop = parsed.flags.count("--delete-mail") != 0;
    if (keep != drop) return keep;
    if (keep || !c.terminal) return std::nullopt;
    c.err << "Keep " << name << "'s letters (put aside, a new account of that name starts empty) or delete them? [keep/delete] ";
    std::string answer;
    if (!std::getline(c.in, answer)) return std::nullopt;
    if (answer == "keep" || answer == "k") return true;
    if (answer == "delete" || answer == "d") return false;
    return std::nullopt;
}

int RemoveAccount(PostOffice& office, const Parsed& parsed, MailCommandContext& c, const std::filesystem::path& root) {
    const std::string& name = parsed.words[1];
    const std::optional<std::string> account = office.Accounts().Find(name);
    if (!account) return Report(c, AccountError::Unknown, "account remove " + name, "");
    const std::optional<bool> keep = KeepMail(parsed, c, *account);
    if (!keep) {
        c.err << "harbor: account remove " << name << ": say --keep-mail or --delete-mail (what happens to its letters)\n";
        return kUsage;
    }
    const AccountError e = office.Accounts().Remove(*account);
    if (e != AccountError::None) return Report(c, e, "account remove " + name, "");
    office.DiscardWaiting(*account);
    std::string error;
    if (!*keep) {
        if (!DeleteMailbox(root, *account, error)) c.err << "harbor: account remove " << name << ": " << error << "\n";
        return Report(c, AccountError::None, "", "removed " + *account + " and deleted its letters");
    }
    const std::filesystem::path aside = SetMailboxAside(root, *account, c.now, error);
    if (!error.empty()) c.err << "harbor: account remove " << name << ": " << error << "\n";
    return Report(c, AccountError::None, "",
                  "removed " + *account + (aside.empty() ? " (it had no letters)" : "; its letters are kept in " + aside.string()));
}

// A mailbox left from an earlier account of this name is put aside, and said so, so that the
// new account starts empty.
void ClearOldMailbox(MailCommandContext& c, const std::filesystem::path& root, const std::string& name) {
    std::string error;
    const std::filesystem::path aside = SetMailboxAside(root, name, c.now, error);
    if (!aside.empty()) c.out << "letters of an earlier account " << name << " were put aside in " << aside.string() << "\n";
    if (!error.empty()) c.err << "harbor: account add " << name << ": " << error << "\n";
}

int AccountUsage(MailCommandContext& c, const std::string& problem) {
    c.err << "harbor: " << problem << "\n" << AccountHelp("");
    return kUsage;
}

int RunAccount(const std::vector<std::string>& args, MailCommandContext& c) {
    const Parsed parsed = ParseWords(args, 1);
    if (parsed.help) {
        c.out << AccountHelp(parsed.words.empty() ? "" : parsed.words[0]);
        return kDone;
    }
    if (!parsed.error.empty()) return AccountUsage(c, "account: " + parsed.error);
    if (parsed.words.empty()) return AccountUsage(c, "account: name a verb");
    const std::string& verb = parsed.words[0];
    const bool known = verb == "add" || verb == "passwd" || verb == "remove";
    if (!(verb == "list" && parsed.words.size() == 1) && !(known && parsed.words.size() == 2)) {
        return AccountUsage(c, "account: unknown verb or wrong number of words: " + verb);
    }
    const std::filesystem::path root = DataRoot(parsed, c);
    if (const std::string problem = DataFolderProblem(root); !problem.empty()) {
        c.err << "harbor: account " << verb << ": " << problem << "\n";
        return kUsage;
    }
    // Listing only reads: a data folder or post office not made yet holds no accounts.
    std::error_code ec;
    if (verb == "list" && !std::filesystem::is_directory(root / ".postoffice", ec)) {
        c.out << "no accounts\n";
        return kDone;
    }
    // Everything but listing writes: one harbor at a time on a data root.
    int busy = kUsage;
    std::optional<DataRootLock> lock;
    if (verb != "list" && !(lock = LockForCommand(root, "account " + verb, c.err, busy))) return busy;
    PostOffice office({root, std::string(kDefaultMailDomain), c.password_cost, true});
    if (const std::string problem = office.Accounts().Problem(); !problem.empty()) {
        c.err << "harbor: account " << verb << ": " << problem << "; nothing is changed\n";
        return kFailed;
    }
    if (verb == "list") {
        ListAccounts(office, c.out);
        return kDone;
    }
    if (verb == "remove") return RemoveAccount(office, parsed, c, root);
    const std::string& name = parsed.words[1];
    const std::string what = "account " + verb + " " + name;
    if (verb == "add" && !IsValidKiteId(name)) return Report(c, AccountError::InvalidName, what, "");
    if (verb == "add" && office.Accounts().Find(name)) return Report(c, AccountError::Exists, what, "");
    if (verb == "passwd" && !office.Accounts().Find(name)) return Report(c, AccountError::Unknown, what, "");
    const std::optional<std::string> password = AskPassword(c, name);
    if (!password) {
        c.err << "harbor: " << what << ": no password given\n";
        return kFailed;
    }
    if (verb == "passwd") return Report(c, office.Accounts().SetPassword(name, *password), what, "changed the password of " + name);
    const AccountError added = office.Accounts().Add(name, *password);
    if (added == AccountError::None) ClearOldMailbox(c, root, name);
    return Report(c, added, what, "added " + name);
}

// A file that reads as a mail message gives its sender, subject, date and body.
ImportMail MailFromFile(const std::string& file, const std::string& text, uint32_t now) {
    ImportMail mail;
    mail.date = now;
    mail.subject = PlainImportSubject(file, text);
    mail.from = PlainImportSender();
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
    if (parsed.help) {
        c.out << ImportHelp();
        return kDone;
    }
    const std::filesystem::path root = DataRoot(parsed, c);
    std::string error = parsed.error.empty() ? UnknownOption(parsed) : parsed.error;
    if (error.empty() && parsed.words.empty()) error = "name at least one FILE ('-' for standard input)";
    if (error.empty() && !parsed.flags.empty()) error = "unknown option " + *parsed.flags.begin();
    if (error.empty()) error = DataFolderProblem(root);
    if (!error.empty()) {
        c.err << "harbor: import: " << error << "\n";
        return kUsage;
    }
    int busy = kUsage;
    const std::optional<DataRootLock> lock = LockForCommand(root, "import", c.err, busy);
    if (!lock) return busy;
    int status = kDone;
    for (const std::string& file : parsed.words) {
        std::string text;
        if (!ReadImportSource(file, c.in, text, error)) {
            c.err << "harbor: import: " << error << "\n";
            status = kFailed;
            continue;
        }
        ImportMail mail = MailFromFile(file, text, c.now);
        ApplyOptions(parsed, mail);
        if (const std::size_t size = ImportFileText(mail).size(); size > kMaxImportFile) {
            c.err << "harbor: import: " << file << ": " << MiB(text.size()) << " read, " << MiB(size)
                  << " as an import file (escapes and line breaks take more room there); an import file holds at most "
                  << MiB(kMaxImportFile) << "\n";
            status = kFailed;
            continue;
        }
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
    return R"(Post office commands (each takes --data DIR, and --help):
  harbor account add NAME       make a kite account; asks for its password
  harbor account passwd NAME    change an account's password
  harbor account remove NAME --keep-mail|--delete-mail
                                remove an account and the mail waiting for it; its letters
                                are put aside or deleted (asked on a terminal)
  harbor account list           the accounts, their waiting mail, and the outgoing spool
  harbor import --player ID [--from ID] [--subject TEXT] [--type TYPE] [--date SECONDS] FILE...
                                put each FILE into the Import folder: the player's InBox
                                receives it at the module's next start

Exit status: 0 done; 1 the command could not be done (an unknown account, a file that cannot
be read or imported); 2 wrong usage, or the data folder cannot be used; 3 another harbor uses
the data folder (waited for 5 seconds; it is named by its pid).
)";
}

std::string AccountHelp(const std::string& verb) {
    static const std::map<std::string, std::string> verbs = {
        {"add", R"(harbor account add NAME [--data DIR]
  Makes a kite account a child signs in with. NAME is 1 to 31 letters, digits and
  underscores. The password (1 to 31 characters) is read without echo from a terminal, twice,
  or as one line of standard input. Letters left by an earlier account of the same name are
  put aside (MailBoxes/Removed), so the new account starts empty.
)"},
        {"passwd", R"(harbor account passwd NAME [--data DIR]
  Changes the account's password, read as for `account add`.
)"},
        {"remove", R"(harbor account remove NAME (--keep-mail | --delete-mail) [--data DIR]
  Removes the account and the mail waiting for it. Its letters (MailBoxes/kiteAccounts/NAME)
  are put aside in MailBoxes/Removed/NAME-DATE with --keep-mail, or deleted with --delete-mail;
  on a terminal without either, harbor asks. Never left for a new account of that name.
)"},
        {"list", R"(harbor account list [--data DIR]
  Lists the accounts, the mail waiting for each, and mail kept in the outgoing spool. Only
  reads: a data folder that does not exist yet has no accounts and is not made.
)"},
    };
    const std::string common = R"(
Exit status: 0 done; 1 the command could not be done (an unknown or existing account, no
password); 2 wrong usage, or the data folder cannot be used (it is named, with the reason).
)";
    if (auto it = verbs.find(verb); it != verbs.end()) return it->second + common;
    std::string all = "Usage: harbor account VERB ... [--data DIR]   (harbor account VERB --help for one)\n";
    for (const char* name : {"add", "passwd", "remove", "list"}) all += verbs.at(name);
    return all + common;
}

std::string ImportHelp() {
    return R"(harbor import --player ID [--from ID] [--subject TEXT] [--type TYPE] [--date SECONDS]
              [--data DIR] FILE...
  Puts each FILE into the data folder's Import folder; the player's InBox receives it at the
  module's next start. FILE is a mail message (its sender, subject, date and plain body are
  taken) or plain text ('-' is standard input): plain text is sent by the computer's user,
  with the file's name (for standard input, its first line) as the subject. The options
  replace what the file gives. Folders and files larger than 8 MiB are refused before they are
  read; an import file holds at most 4 MiB.

Exit status: 0 every FILE was imported; 1 one could not be (named, with the reason); 2 wrong
usage, or the data folder cannot be used.
)";
}

}  // namespace harbor
