#include "mail/account_book.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

#include "fileio/atomic_file.h"
#include "mail/durable_dirs.h"
#include "base/trace_log.h"

namespace harbor {

namespace {

constexpr std::string_view kHeader = "# Harbor post office accounts: one per line, the kite ID, one space, its password hash.\n";
constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x | 0x20) == (y | 0x20);  // names hold letters, digits and '_' only
           });
}

}  // namespace

bool IsValidMailName(std::string_view name) { return std::all_of(name.begin(), name.end(), IsNameChar); }

bool IsValidKiteId(std::string_view name) {
    return !name.empty() && name.size() <= kMaxKiteIdLength && IsValidMailName(name);
}

const char* Describe(AccountError error) {
    switch (error) {
        case AccountError::None: return "done";
        case AccountError::InvalidName: return "a kite ID is 1 to 31 letters, digits and underscores";
        case AccountError::InvalidPassword: return "a password is 1 to 31 characters, without line breaks";
        case AccountError::Exists: return "there is already an account with that kite ID";
        case AccountError::Unknown: return "there is no account with that kite ID";
        case AccountError::Storage: return "the accounts file cannot be written";
        case AccountError::Unreadable: return "the accounts file cannot be read, so it is not changed";
    }
    return "?";
}

AccountBook::AccountBook(std::filesystem::path file, PasswordCost cost, bool durable, std::filesystem::path root)
    : file_(std::move(file)), root_(std::move(root)), cost_(cost), durable_(durable) {}

const char* AccountBook::NotAnAccount(std::string_view line, const Accounts& so_far) {
    const auto space = line.find(' ');
    if (space == std::string_view::npos) return "no password hash after the kite ID";
    const std::string_view name = line.substr(0, space);
    const std::string_view hash = line.substr(space + 1);
    if (!IsValidKiteId(name)) return "not a kite ID";
    if (!hash.starts_with("$argon2") || hash.find_first_of(" \t") != std::string_view::npos) return "not a password hash";
    if (Lookup(so_far, name) != so_far.end()) return "the kite ID is there already";
    return nullptr;
}

bool AccountBook::ReadText(std::string& text, std::string& problem) const {
    UniqueFd dir = OpenDirectory(file_.parent_path(), root_);
    if (!dir.Valid()) return true;  // no post office yet; one that is not a folder cannot be written either
    const std::string name = file_.filename().string();
    struct stat st {};
    if (::fstatat(dir.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT) return true;
    std::string error;
    if (ReadRegularFile(dir.Get(), name, kMaxFileBytes, text, error)) return true;
    problem = "the accounts file " + file_.string() + " cannot be read (" + error + ")";
    return false;
}

std::string AccountBook::Problem() const {
    std::string text;
    std::string problem;
    ReadText(text, problem);
    return problem;
}

std::optional<AccountBook::Accounts> AccountBook::Load(std::vector<std::string>* unreadable) const {
    Accounts accounts;
    std::string text;
    std::string problem;
    if (!ReadText(text, problem)) {
        ProblemNote("MailPort", problem + ": nobody can sign in and no account can be changed until it can");
        return std::nullopt;
    }
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // written on another system
        if (line.empty() || line[0] == '#') continue;
        if (const char* why = NotAnAccount(line, accounts)) {
            ProblemNote("MailPort", file_.string() + ", line " + std::to_string(number) + ": not an account (" + why +
                                        "); it is kept as it is and not used");
            if (unreadable != nullptr) unreadable->push_back(line);
            continue;
        }
        const auto space = line.find(' ');
        accounts.emplace_back(line.substr(0, space), line.substr(space + 1));
    }
    return accounts;
}

bool AccountBook::Save(const Accounts& accounts, const std::vector<std::string>& unreadable) const {
    std::string text(kHeader);
    for (const auto& [name, hash] : accounts) text += name + " " + hash + "\n";
    for (const std::string& line : unreadable) text += line + "\n";
    std::string error;
    UniqueFd dir = OpenOrCreateDirectory(file_.parent_path(), durable_, error, root_);
    if (dir.Valid() && WriteAtomically(dir.Get(), file_.filename().string(), text, durable_, nullptr, error)) return true;
    ProblemNote("MailPort", "cannot write the accounts file " + file_.string() + ": " + error);
    return false;
}

AccountBook::Accounts::const_iterator AccountBook::Lookup(const Accounts& accounts, std::string_view name) {
    return std::find_if(accounts.begin(), accounts.end(), [&](const auto& a) { return SameName(a.first, name); });
}

AccountError AccountBook::CheckPassword(std::string_view password) {
    const bool bad = password.empty() || password.size() > kMaxPasswordLength ||
                     password.find_first_of("\r\n") != std::string_view::npos;
    return bad ? AccountError::InvalidPassword : AccountError::None;
}

AccountError AccountBook::Add(std::string_view name, std::string_view password) {
    if (!IsValidKiteId(name)) return AccountError::InvalidName;
    if (AccountError e = CheckPassword(password); e != AccountError::None) return e;
    std::vector<std::string> unreadable;
    std::optional<Accounts> loaded = Load(&unreadable);
    if (!loaded) return AccountError::Unreadable;
    Accounts& accounts = *loaded;
    if (Lookup(accounts, name) != accounts.end()) return AccountError::Exists;
    std::optional<std::string> hash = HashPassword(password, cost_);
    if (!hash) return AccountError::Storage;
    accounts.emplace_back(std::string(name), std::move(*hash));
    return Save(accounts, unreadable) ? AccountError::None : AccountError::Storage;
}

AccountError AccountBook::SetPassword(std::string_view name, std::string_view password) {
    if (AccountError e = CheckPassword(password); e != AccountError::None) return e;
    std::vector<std::string> unreadable;
    std::optional<Accounts> loaded = Load(&unreadable);
    if (!loaded) return AccountError::Unreadable;
    Accounts& accounts = *loaded;
    auto it = Lookup(accounts, name);
    if (it == accounts.end()) return AccountError::Unknown;
    std::optional<std::string> hash = HashPassword(password, cost_);
    if (!hash) return AccountError::Storage;
    accounts[static_cast<std::size_t>(it - accounts.begin())].second = std::move(*hash);
    return Save(accounts, unreadable) ? AccountError::None : AccountError::Storage;
}

AccountError AccountBook::Remove(std::string_view name) {
    std::vector<std::string> unreadable;
    std::optional<Accounts> loaded = Load(&unreadable);
    if (!loaded) return AccountError::Unreadable;
    Accounts& accounts = *loaded;
    auto it = Lookup(accounts, name);
    if (it == accounts.end()) return AccountError::Unknown;
    accounts.erase(it);
    return Save(accounts, unreadable) ? AccountError::None : AccountError::Storage;
}

std::optional<std::string> AccountBook::Find(std::string_view name) const {
    const Accounts accounts = Load().value_or(Accounts{});
    auto it = Lookup(accounts, name);
    if (it == accounts.end()) return std::nullopt;
    return it->first;
}

bool AccountBook::Verify(std::string_view name, std::string_view password) const {
    const Accounts accounts = Load().value_or(Accounts{});
    auto it = Lookup(accounts, name);
    return it != accounts.end() && PasswordMatches(it->second, password);
}

std::vector<std::string> AccountBook::Names() const {
    std::vector<std::string> names;
    for (auto& [name, hash] : Load().value_or(Accounts{})) names.push_back(name);
    return names;
}

}  // namespace harbor
