// A real mail server as the mail service's back end: sign-in is an IMAP login, fetching reads the
// server INBOX's messages not fetched before (oldest first, in batches, on a worker thread), and
// sending spools each message durably under ".remote/spool" before a sender thread submits it over
// SMTP with retries. A message leaves the spool only once the server took it; one the server
// refuses for good (5xx) becomes a "could not be delivered" letter in the sender's INBOX.
// Passwords are held in memory only, for the accounts signed in during this run: mail spooled
// by an account goes out once it signs in again.
#ifndef HARBOR_MAIL_REMOTE_BACKEND_H
#define HARBOR_MAIL_REMOTE_BACKEND_H

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "mail/fetched_uids.h"
#include "mail/imap_reply.h"
#include "mail/mail_backend.h"
#include "mail/mail_queue.h"
#include "mail/mail_transfer.h"
#include "mail/server_settings.h"

namespace harbor {

class RemoteBackend : public MailBackend {
public:
    RemoteBackend(ServerSettings settings, std::filesystem::path data_root, bool durable);
    ~RemoteBackend() override;

    bool Reachable() const override { return spool_.Ready(); }
    SignInAnswer SignIn(const std::string& name, const std::string& password) override;
    std::optional<WaitingMail> Next(const std::string& account) override;
    bool Acknowledge(const WaitingMail& mail) override;
    bool Submit(const std::string& sender, std::string_view message, const std::vector<std::string>& recipients) override;
    void MarkNextSubmit(std::string mark) override { next_mark_ = std::move(mark); }
    std::vector<std::string> SpooledMarks() const override;
    uint64_t WaitingBytes(const std::string& account) override;
    void FinishInFlight() override;

    // The largest batch fetched with one command, and the most messages in one: the transfer
    // library passes a command's answer on as header lines and caps their total at 300 KB. A
    // batch it refuses anyway is halved.
    static constexpr uint64_t kBatchBytes = 160 * 1024;
    static constexpr std::size_t kBatchMessages = 400;
    static constexpr std::size_t kListChunk = 2000;  // messages whose sizes one command asks

private:
    struct Round {  // one account's fetch in progress
        std::deque<WaitingMail> ready;
        std::set<uint32_t> in_flight;  // handed out, not yet stored
        std::set<std::string> offered_ids;  // letters (LetterKeyOf) handed out this round
        std::set<uint32_t> handed_before;  // handed out by an earlier run, not known to be stored
        std::vector<std::string> inbox;  // the account's InBox files, when there are such UIDs
        bool running = false;
        bool done = false;
        std::thread worker;
    };

    std::optional<Credentials> CredentialsOf(const std::string& account);
    std::string AddressOf(const std::string& id) const;
    void FetchRound(std::string account, Credentials who, std::set<uint32_t> skip);
    std::vector<uint32_t> ListWanted(const std::string& account, ImapSession& imap, const std::set<uint32_t>& skip,
                                     uint32_t& validity, std::map<uint32_t, uint64_t>& size_of);
    bool FetchBatch(const std::string& account, ImapSession& imap, uint32_t validity, const std::vector<uint32_t>& uids);
    void Offer(const std::string& account, WaitingMail mail);
    std::string Dated(const std::string& account, uint32_t uid, std::string text);
    // True when the module stored the letter before an earlier run ended (its InBox holds it).
    bool StoredBeforeACrash(const std::string& account, const WaitingMail& mail, uint32_t uid);
    // False for a second copy of a letter stored before or handed out in this round.
    bool FirstCopy(const std::string& account, const WaitingMail& mail);
    void DeleteStored(const std::string& account, ImapSession& imap);
    // The account's kept IMAP connection (from its sign-in or its last round), or a new one.
    std::unique_ptr<ImapSession> TakeSession(const std::string& account, const Credentials& who);
    void SendLoop();
    // Tries each spooled message once; the earliest moment one should be tried again.
    std::chrono::steady_clock::time_point SendPass();
    bool SendOne(const std::string& entry);
    std::string Undeliverable(const std::string& sender, const std::string& message, const std::string& why) const;

    ServerSettings settings_;
    std::filesystem::path root_;  // data root / ".remote"
    bool durable_;
    MailQueue spool_;

    std::string next_mark_;  // MarkNextSubmit's, for the next spooled letter only
    std::mutex mutex_;
    std::mutex records_;  // the fetched records' files
    std::condition_variable changed_;
    std::map<std::string, Credentials> signed_in_;
    std::map<std::string, std::unique_ptr<ImapSession>> sessions_;  // idle kept connections
    std::map<std::string, std::unique_ptr<Round>> rounds_;
    std::map<std::string, std::set<std::string>> stored_ids_;  // letters stored (Message-ID and body hash)
    std::map<std::string, std::map<uint32_t, std::string>> arrived_;  // INTERNALDATE of the round's UIDs
    std::map<std::string, std::set<uint32_t>> to_delete_;  // stored, to be removed from the server
    std::map<std::string, std::chrono::seconds> backoff_;  // spool entry -> its next wait
    std::map<std::string, std::chrono::steady_clock::time_point> retry_at_;
    uint64_t wanted_ = 0;  // raised by every submit and sign-in: the sender has work
    uint64_t passed_ = 0;  // the `wanted_` the sender's last whole pass saw
    bool stopping_ = false;
    std::thread sender_;
};

}  // namespace harbor

#endif
