#include "mail/account_mailbox.h"

#include <ctime>
#include <system_error>

namespace harbor {

namespace fs = std::filesystem;

fs::path AccountMailbox(const fs::path& data_root, const std::string& kite_id) {
    return data_root / "MailBoxes" / "kiteAccounts" / kite_id;
}

fs::path SetMailboxAside(const fs::path& data_root, const std::string& kite_id, uint32_t now, std::string& error) {
    const fs::path mailbox = AccountMailbox(data_root, kite_id);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(mailbox, ec))) return {};
    const std::time_t when = now;
    std::tm utc{};
    gmtime_r(&when, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    const fs::path removed = data_root / "MailBoxes" / "Removed";
    fs::path target = removed / (kite_id + "-" + stamp);
    for (int n = 2; fs::exists(fs::symlink_status(target, ec)); ++n) {
        target = removed / (kite_id + "-" + stamp + "-" + std::to_string(n));
    }
    fs::create_directories(removed, ec);
    if (!ec) fs::rename(mailbox, target, ec);
    if (ec) {
        error = "cannot move " + mailbox.string() + " to " + target.string() + ": " + ec.message();
        return {};
    }
    return target;
}

bool DeleteMailbox(const fs::path& data_root, const std::string& kite_id, std::string& error) {
    const fs::path mailbox = AccountMailbox(data_root, kite_id);
    std::error_code ec;
    fs::remove_all(mailbox, ec);
    if (ec) error = "cannot delete " + mailbox.string() + ": " + ec.message();
    return !ec;
}

}  // namespace harbor
