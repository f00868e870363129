#include "mail/resend_guard.h"

#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>

#include "fileio/atomic_file.h"
#include "mail/durable_dirs.h"

namespace harbor {

namespace {

constexpr std::size_t kFingerprintBytes = 16;
constexpr std::size_t kMaxListBytes = std::size_t{1} << 20;

}  // namespace

ResendGuard::ResendGuard(const std::filesystem::path& data_root, bool durable) : root_(data_root), durable_(durable) {
    std::string error;
    dir_ = OpenOrCreateDirectory(data_root / ".postoffice" / "sending", durable_, error, data_root);
}

std::string ResendGuard::Fingerprint(std::string_view letter) {
    unsigned char hash[kFingerprintBytes];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(letter.data()), letter.size(), nullptr,
                       0);
    char hex[2 * kFingerprintBytes + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

// The fingerprints the account's file held when this run first looked: letters of earlier runs.
std::multiset<std::string>& ResendGuard::EarlierOf(const std::string& account) {
    auto found = earlier_.find(account);
    if (found != earlier_.end()) return found->second;
    std::multiset<std::string>& earlier = earlier_[account];
    std::string text;
    std::string error;
    if (dir_.Valid() && ReadRegularFile(dir_.Get(), account, kMaxListBytes, text, error)) {
        std::size_t start = 0;
        for (auto end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
            if (end - start == 2 * kFingerprintBytes) earlier.insert(text.substr(start, end - start));
        }
    }
    return earlier;
}

bool ResendGuard::SpooledBefore(const std::string& account, std::string_view letter) {
    std::multiset<std::string>& earlier = EarlierOf(account);
    const auto it = earlier.find(Fingerprint(letter));
    if (it == earlier.end()) return false;
    earlier.erase(it);
    return true;
}

void ResendGuard::Spooled(const std::string& account, std::string_view letter) {
    EarlierOf(account);  // read before this run adds its own
    Note(account, Fingerprint(letter));
}

std::string ResendGuard::MarkOf(const std::string& account, std::string_view letter) const {
    return account + " " + Fingerprint(letter);
}

void ResendGuard::Recovered(const std::string& mark) {
    const auto space = mark.find(' ');
    if (space == std::string::npos || mark.find('/') != std::string::npos) return;
    const std::string account = mark.substr(0, space);
    const std::string fingerprint = mark.substr(space + 1);
    std::multiset<std::string>& earlier = EarlierOf(account);
    if (account.empty() || fingerprint.size() != 2 * kFingerprintBytes || earlier.count(fingerprint) != 0) return;
    earlier.insert(fingerprint);
    Note(account, fingerprint);
}

void ResendGuard::Note(const std::string& account, const std::string& fingerprint) {
    if (!dir_.Valid() || account.empty() || account.front() == '.') return;
    UniqueFd list(::openat(dir_.Get(), account.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600));
    const std::string line = fingerprint + "\n";
    if (!list.Valid() || ::write(list.Get(), line.data(), line.size()) != static_cast<ssize_t>(line.size())) return;
    if (durable_) ::fsync(list.Get());
}

void ResendGuard::RoundDone(const std::string& account) {
    earlier_[account].clear();
    if (dir_.Valid()) RemoveFile(dir_.Get(), account, false);
}

}  // namespace harbor
