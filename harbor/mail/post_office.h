// The embedded post office: the accounts of this computer's kite IDs, the outgoing spool, and
// each account's waiting mail, all under the data root's ".postoffice" folder:
//
//   .postoffice/accounts                    the accounts (account_book.h)
//   .postoffice/spool/<n>.eml               submitted, not yet delivered: one file per letter,
//                                           its recipients then the message text; <n>.sent
//                                           lists the recipients it has reached
//   .postoffice/waiting/<kite ID>/<n>.eml   delivered to an account, not yet fetched
//
// Delivery takes each spooled letter to each recipient: a local account's waiting mail, or a
// known player's InBox (player_inbox.h), noting each recipient reached; the letter leaves the
// spool once every recipient has it. A delivery to an account that a crash repeats finds its
// earlier copy; one to a player's InBox can land twice, never not at all. Mail for anyone else
// waits in the spool: there is no real mail server yet. A fetched message stays waiting, marked
// in flight (and noted as handed out) so that it is not handed out twice, until Acknowledge: a
// crash before that hands it out again at the next start, unless the account's InBox holds it
// already (the crash came between the module's store and its word that it stored it).
#ifndef HARBOR_MAIL_POST_OFFICE_H
#define HARBOR_MAIL_POST_OFFICE_H

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "mail/account_book.h"
#include "fileio/unique_fd.h"
#include "mail/mail_queue.h"

namespace harbor {

inline constexpr std::string_view kDefaultMailDomain = "wrenmail.local";
inline constexpr std::size_t kMaxRecipients = 100;
// Mail for a kite ID of this computer that nobody has waits this long (the account may be made
// meanwhile), then goes back to its sender.
inline constexpr long long kUndeliverableAfterSeconds = 3 * 24 * 60 * 60;

struct PostOfficeOptions {
    std::filesystem::path data_root;
    std::string domain = std::string(kDefaultMailDomain);  // addresses here are local
    PasswordCost password_cost = PasswordCost::Standard();
    bool durable = true;  // flush every write; off only for scratch folders
};

struct SpooledMail {
    std::string entry;
    std::string recipient;
};

struct WaitingMail {
    std::string account;
    std::string entry;
    std::string text;
};

class PostOffice {
public:
    explicit PostOffice(PostOfficeOptions options);

    bool Ready() const { return spool_.Ready(); }
    AccountBook& Accounts() { return accounts_; }
    const PostOfficeOptions& Options() const { return options_; }

    // One spooled copy for all its recipients (at most kMaxRecipients); true once it is on disk. A message without a Date
    // or a Message-ID gets one now, as it is accepted (the rest of its text is kept as it is).
    bool Submit(std::string_view message, const std::vector<std::string>& recipients);
    // The next Submit carries this mark on its spooled letter's first line (the mail service's
    // note of who sent it, read back by SpooledMarks after a crash).
    void MarkNextSubmit(std::string mark) { next_mark_ = std::move(mark); }
    std::vector<std::string> SpooledMarks() const;
    // Delivers what can be delivered locally; the number of letters that reached every recipient.
    std::size_t DeliverSpool();
    std::vector<SpooledMail> Outgoing() const;

    // The account's oldest waiting message that is not in flight; it is in flight from now on.
    std::optional<WaitingMail> Next(const std::string& account);
    // The message was stored by the receiver: it is no longer waiting (it is held for kHeldDays).
    bool Acknowledge(const WaitingMail& mail);
    std::size_t WaitingCount(const std::string& account);
    // The size on disk of the account's waiting mail.
    uint64_t WaitingBytes(const std::string& account);
    // Drops an account's waiting mail (the account is being removed).
    void DiscardWaiting(const std::string& account);

    MailQueue& Spool() { return spool_; }

    // The message as accepted: missing Date and Message-ID header lines put in front.
    std::string Accepted(std::string_view message) const;

private:
    enum class Route { Account, Player, Elsewhere };

    // The local name of an address in our domain (or without one); empty for other domains.
    std::string LocalName(const std::string& address) const;
    Route RouteOf(const std::string& address, std::string& local) const;
    bool DeliverEntry(const std::string& entry, const std::string& bytes);
    bool DeliverOne(const std::string& entry, std::size_t index, const std::string& recipient, std::string_view message);
    bool ReturnToSender(const std::string& entry, std::size_t index, const std::string& recipient,
                        std::string_view message);
    MailQueue& Waiting(const std::string& account);
    bool StoredInInbox(const std::string& account, const std::string& text) const;

    PostOfficeOptions options_;
    AccountBook accounts_;
    MailQueue spool_;
    std::map<std::string, std::unique_ptr<MailQueue>> waiting_;
    std::set<std::pair<std::string, std::string>> in_flight_;  // account, entry
    UniqueFd root_;                // the data root, for the holding area
    std::string next_mark_;
    std::set<std::string> noted_;  // spool entries and recipients already reported as waiting
};

}  // namespace harbor

#endif
