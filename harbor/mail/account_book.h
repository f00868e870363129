// The post office's accounts: kite IDs with their password hashes, in one text file of the post
// office's own:
//
//   # Harbor post office accounts: one per line, the kite ID, one space, its password hash.
//   ann_01 $argon2id$v=19$m=65536,t=2,p=1$...$...
//
// The file is read afresh for every question, so `harbor account` commands take effect in a
// running Harbor, and replaced atomically for every change. Kite IDs are 1 to 31 ASCII letters,
// digits and underscores; they are compared without regard to letter case, and an account keeps
// the spelling it was made with.
#ifndef HARBOR_MAIL_ACCOUNT_BOOK_H
#define HARBOR_MAIL_ACCOUNT_BOOK_H

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/password_hash.h"

namespace harbor {

inline constexpr std::size_t kMaxKiteIdLength = 31;
inline constexpr std::size_t kMaxPasswordLength = 31;  // what the sign-in screen can take

// Letters, digits and underscores only (the empty name passes), as the module checks names.
bool IsValidMailName(std::string_view name);
// A usable account or player ID: a valid mail name of 1 to 31 characters.
bool IsValidKiteId(std::string_view name);

enum class AccountError { None, InvalidName, InvalidPassword, Exists, Unknown, Storage, Unreadable };
const char* Describe(AccountError error);

class AccountBook {
public:
    // With a `root`, the file's folder is opened inside it without following links.
    AccountBook(std::filesystem::path file, PasswordCost cost, bool durable, std::filesystem::path root = {});

    AccountError Add(std::string_view name, std::string_view password);
    AccountError SetPassword(std::string_view name, std::string_view password);
    AccountError Remove(std::string_view name);

    // The account's own spelling of the name, when there is one.
    std::optional<std::string> Find(std::string_view name) const;
    bool Verify(std::string_view name, std::string_view password) const;
    std::vector<std::string> Names() const;
    // Why the accounts file is there but cannot be read (too large, not a file, no permission),
    // or "" when it reads or does not exist yet. Changes are refused while it says something:
    // rewriting the file from what could be read would drop every account in it.
    std::string Problem() const;

private:
    using Accounts = std::vector<std::pair<std::string, std::string>>;  // name, hash

    // The accounts; lines that are not one go to `unreadable` (when given) as they stand, so
    // that a rewrite keeps them, and each is reported with its line number. Nothing, with a
    // problem note, when the file is there but cannot be read; no accounts when it is missing.
    std::optional<Accounts> Load(std::vector<std::string>* unreadable = nullptr) const;
    // Reads the file's text: false with `problem` set when it is there but cannot be read.
    bool ReadText(std::string& text, std::string& problem) const;
    bool Save(const Accounts& accounts, const std::vector<std::string>& unreadable) const;
    // Why the line is not an account, or null when it is one.
    static const char* NotAnAccount(std::string_view line, const Accounts& so_far);
    static Accounts::const_iterator Lookup(const Accounts& accounts, std::string_view name);
    static AccountError CheckPassword(std::string_view password);

    std::filesystem::path file_;
    std::filesystem::path root_;
    PasswordCost cost_;
    bool durable_;
};

}  // namespace harbor

#endif
