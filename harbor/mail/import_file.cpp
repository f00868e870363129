#include "mail/import_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "fileio/atomic_file.h"
#include "mail/account_book.h"
#include "mail/durable_dirs.h"

namespace harbor {

namespace {

constexpr std::size_t kMaxHeaderText = 127;
constexpr std::size_t kMaxTypeText = 63;
constexpr std::size_t kMaxFileBytes = std::size_t{4} << 20;  // what the data dictionary reader takes

// A text value: one that starts with '@' would be read as a name, so it is written with "@@".
std::string TextValue(const std::string& text) { return text.starts_with('@') ? "@" + text : text; }

bool Exists(int dir, const std::string& name) { return ::faccessat(dir, name.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0; }

}  // namespace

std::string ImportProblem(const ImportMail& mail) {
    if (!IsValidKiteId(mail.player)) return "the player ID must be 1 to 31 letters, digits and underscores";
    if (mail.from.size() > kMaxHeaderText) return "the sender is longer than 127 characters";
    if (mail.subject.size() > kMaxHeaderText) return "the subject is longer than 127 characters";
    if (mail.type.empty() || mail.type.size() > kMaxTypeText) return "the content type must be 1 to 63 characters";
    for (const std::string* text : {&mail.from, &mail.subject, &mail.type, &mail.body}) {
        if (text->find('\0') != std::string::npos) return "texts cannot hold NUL characters";
    }
    if (ImportFileText(mail).size() > kMaxFileBytes) return "the message is larger than 4 MiB";
    return {};
}

std::string ImportFileText(const ImportMail& mail) {
    nlohmann::ordered_json dict;
    dict["TO"] = TextValue(mail.player);
    dict["FROM"] = TextValue(mail.from);
    dict["SUBJECT"] = TextValue(mail.subject);
    dict["DATE"] = mail.date;
    dict["MAILTYPE"] = TextValue(mail.type);
    dict["MESSAGE"] = TextValue(mail.body);
    return "// Mail for " + mail.player + ", to be imported into the player's InBox.\n" +
           dict.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

std::string WriteImportFile(const std::filesystem::path& data_root, const ImportMail& mail, std::string& error) {
    if (error = ImportProblem(mail); !error.empty()) return {};
    UniqueFd dir = OpenOrCreateDirectory(data_root / "Import", true, error, data_root);
    if (!dir.Valid()) return {};
    const std::string stem = "mail-" + std::to_string(mail.date) + "-" + std::to_string(static_cast<long>(::getpid()));
    std::string name;
    for (int n = 1; name.empty() || Exists(dir.Get(), name); ++n) name = stem + "-" + std::to_string(n) + ".dct";
    if (!WriteAtomically(dir.Get(), name, ImportFileText(mail), true, nullptr, error)) return {};
    return name;
}

}  // namespace harbor
