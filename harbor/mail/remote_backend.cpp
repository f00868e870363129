#include "mail/remote_backend.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <sstream>
#include <utility>

#include "base/trace_log.h"
#include "fileio/atomic_file.h"
#include "fileio/held_files.h"
#include "mail/durable_dirs.h"
#include "mail/mime_message.h"
#include "mail/player_inbox.h"

namespace harbor {

namespace {

constexpr const char* kTrace = "MailPort";
constexpr std::chrono::seconds kFirstRetry{2};
constexpr std::chrono::seconds kLongestRetry{300};

bool IsKiteId(const std::string& name) {
    return !name.empty() && name.size() <= 63 &&
           std::all_of(name.begin(), name.end(), [](unsigned char ch) { return std::isalnum(ch) || ch == '_' || ch == '.' || ch == '-'; });
}

std::string Joined(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

std::string DateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S +0000", &tm);
    return text;
}

// The UIDs as an IMAP set, runs written as ranges ("1:40,42"): short commands for long batches.
std::string UidSet(const std::vector<uint32_t>& uids) {
    std::string set;
    for (std::size_t i = 0; i < uids.size();) {
        std::size_t j = i;
        while (j + 1 < uids.size() && uids[j + 1] == uids[j] + 1) ++j;
        set += (set.empty() ? "" : ",") + std::to_string(uids[i]);
        if (j > i) set += ":" + std::to_string(uids[j]);
        i = j + 1;
    }
    return set;
}

// The entry name of a fetched message: "UIDVALIDITY:UID".
std::string EntryOf(uint32_t validity, uint32_t uid) { return std::to_string(validity) + ":" + std::to_string(uid); }

bool ParseEntry(const std::string& entry, uint32_t& validity, uint32_t& uid) {
    unsigned long v = 0, u = 0;
    char rest = 0;
    if (std::sscanf(entry.c_str(), "%lu:%lu%c", &v, &u, &rest) != 2 || v > UINT32_MAX || u > UINT32_MAX) return false;
    validity = static_cast<uint32_t>(v);
    uid = static_cast<uint32_t>(u);
    return true;
}

// A spooled message: its sender's kite ID (followed, after a space, by the rest of the mail
// service's mark when it gave one), its recipients' addresses, then its text.
struct Spooled {
    std::string sender;
    std::vector<std::string> recipients;
    std::string text;
};

std::optional<Spooled> ReadSpooled(const std::string& bytes) {
    const auto first = bytes.find('\n');
    const auto second = first == std::string::npos ? first : bytes.find('\n', first + 1);
    if (second == std::string::npos) return std::nullopt;
    const std::string head = bytes.substr(0, first);
    Spooled s{head.substr(0, head.find(' ')), {}, bytes.substr(second + 1)};
    std::istringstream words(bytes.substr(first + 1, second - first - 1));
    for (std::string w; words >> w;) s.recipients.push_back(w);
    if (s.sender.empty() || s.recipients.empty()) return std::nullopt;
    return s;
}

std::string HeaderValue(const std::string& message, const std::string& name) {
    std::istringstream in(message);
    for (std::string line; std::getline(in, line) && line != "\r" && !line.empty();) {
        if (line.size() > name.size() && strncasecmp(line.c_str(), name.c_str(), name.size()) == 0 && line[name.size()] == ':') {
            std::string value = line.substr(name.size() + 1);
            while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
            return value.substr(value.find_first_not_of(' ') == std::string::npos ? value.size() : value.find_first_not_of(' '));
        }
    }
    return "";
}

// What makes two copies of a letter the same letter: its Message-ID (one word, "<a@b>") and a
// hash of its body (a sender that reuses Message-IDs still has its other letters kept). Empty
// when the letter has no usable Message-ID. Headers are left out: a copy may differ in those the
// service or the server put in front.
std::string LetterKeyOf(const std::string& text) {
    const std::string id = HeaderValue(text, "Message-ID");
    if (id.size() < 3 || id.size() > 250 || id.front() != '<' || id.back() != '>') return "";
    if (std::any_of(id.begin(), id.end(), [](unsigned char ch) { return ch <= ' ' || ch >= 127; })) return "";
    std::size_t body = text.find("\n\n");
    const std::size_t crlf = text.find("\r\n\r\n");
    body = std::min(body == std::string::npos ? text.size() : body + 2, crlf == std::string::npos ? text.size() : crlf + 4);
    uint64_t hash = 14695981039346656037ull;  // FNV-1a: stable from run to run
    for (std::size_t i = body; i < text.size(); ++i) {
        if (text[i] == '\r') continue;  // line ends as either
        hash = (hash ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return id + " " + hex;
}

}  // namespace

RemoteBackend::RemoteBackend(ServerSettings settings, std::filesystem::path data_root, bool durable)
    : settings_(std::move(settings)),
      root_(data_root / ".remote"),
      durable_(durable),
      spool_(root_ / "spool", durable) {
    if (!spool_.Entries().empty()) wanted_ = 1;
    sender_ = std::thread([this] { SendLoop(); });
}

RemoteBackend::~RemoteBackend() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    sender_.join();
    for (auto& [account, round] : rounds_) {
        if (round->worker.joinable()) round->worker.join();
    }
}

std::string RemoteBackend::AddressOf(const std::string& id) const {
    if (id.find('@') != std::string::npos || settings_.domain.empty()) return id;
    return id + "@" + settings_.domain;
}

std::optional<Credentials> RemoteBackend::CredentialsOf(const std::string& account) {
    std::lock_guard lock(mutex_);
    auto it = signed_in_.find(account);
    if (it == signed_in_.end()) return std::nullopt;
    return it->second;
}

SignInAnswer RemoteBackend::SignIn(const std::string& name, const std::string& password) {
    if (!IsKiteId(name)) return {SignInAnswer::Kind::Refused, "", "no such account"};
    const Credentials who{LoginName(settings_, name), password};
    auto session = std::make_unique<ImapSession>(settings_, who);
    const TransferResult result = session->Command("", "");
    switch (result.outcome) {
        case TransferResult::Outcome::Done: break;
        case TransferResult::Outcome::Refused: return {SignInAnswer::Kind::Refused, "", "the server refused the login"};
        default: return {SignInAnswer::Kind::Unreachable, "", "the mail server " + settings_.imap + ": " + result.error};
    }
    {
        std::lock_guard lock(mutex_);
        signed_in_[name] = who;
        sessions_[name] = std::move(session);  // the first fetch goes on this connection
        ++wanted_;  // mail this account spooled earlier can go now
    }
    changed_.notify_all();
    return {SignInAnswer::Kind::Accepted, name, ""};
}

std::optional<WaitingMail> RemoteBackend::Next(const std::string& account) {
    const std::optional<Credentials> who = CredentialsOf(account);
    if (!who) return std::nullopt;
    std::unique_lock lock(mutex_);
    std::unique_ptr<Round>& round = rounds_[account];
    if (!round) round = std::make_unique<Round>();
    if (round->ready.empty() && !round->running) {
        if (round->worker.joinable()) round->worker.join();
        round->running = true;
        round->done = false;
        round->offered_ids.clear();
        round->worker = std::thread([this, account, who = *who, skip = round->in_flight] { FetchRound(account, who, skip); });
    }
    changed_.wait(lock, [&] { return !round->ready.empty() || round->done; });
    if (round->ready.empty()) {
        round->running = false;
        return std::nullopt;
    }
    WaitingMail mail = std::move(round->ready.front());
    round->ready.pop_front();
    uint32_t validity = 0, uid = 0;
    if (!ParseEntry(mail.entry, validity, uid)) return mail;
    if (round->handed_before.contains(uid)) {
        lock.unlock();
        if (StoredBeforeACrash(account, mail, uid)) return Next(account);
        lock.lock();
    }
    round->in_flight.insert(uid);
    return mail;
}

// Compares the letter as the module keeps it (its Data) with the InBox's files; on the message
// thread, as all message objects are made there.
bool RemoteBackend::StoredBeforeACrash(const std::string& account, const WaitingMail& mail, uint32_t uid) {
    const std::string data = StoredForm(mail.text);
    bool stored = false;
    {
        std::lock_guard lock(mutex_);
        Round& round = *rounds_[account];
        round.handed_before.erase(uid);
        stored = std::any_of(round.inbox.begin(), round.inbox.end(),
                             [&](const std::string& file) { return file.find(data) != std::string::npos; });
    }
    if (!stored) return false;
    TraceNote(kTrace, "a letter for " + account + " was stored before Harbor stopped: it counts as fetched");
    Acknowledge(mail);
    return true;
}

std::unique_ptr<ImapSession> RemoteBackend::TakeSession(const std::string& account, const Credentials& who) {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(account);
    if (it == sessions_.end() || !it->second) return std::make_unique<ImapSession>(settings_, who);
    std::unique_ptr<ImapSession> session = std::move(it->second);
    sessions_.erase(it);
    return session;
}

// Lists the INBOX, then fetches what was not fetched before in batches, handing each message to
// Next as it arrives. Every command of the round goes over one connection.
void RemoteBackend::FetchRound(std::string account, Credentials who, std::set<uint32_t> skip) {
    std::unique_ptr<ImapSession> imap = TakeSession(account, who);
    if (settings_.delete_after_fetch) DeleteStored(account, *imap);
    uint32_t validity = 0;
    std::map<uint32_t, uint64_t> size_of;
    const std::vector<uint32_t> wanted = ListWanted(account, *imap, skip, validity, size_of);
    std::vector<uint32_t> batch;
    uint64_t bytes = 0;
    bool ok = true;
    for (uint32_t uid : wanted) {  // oldest first
        if (!batch.empty() && (bytes + size_of[uid] > kBatchBytes || batch.size() >= kBatchMessages)) {
            ok = FetchBatch(account, *imap, validity, batch);
            batch.clear();
            bytes = 0;
            if (!ok) break;
        }
        batch.push_back(uid);
        bytes += size_of[uid];
    }
    if (ok && !batch.empty()) FetchBatch(account, *imap, validity, batch);
    {
        std::lock_guard lock(mutex_);
        rounds_[account]->done = true;
        sessions_.try_emplace(account, std::move(imap));  // a sign-in meanwhile brought its own
    }
    changed_.notify_all();
}

// The INBOX's UIDs not fetched before, sorted, with the mailbox's UIDVALIDITY (from the SELECT
// before the search), their sizes and their arrival dates, asked in chunks.
std::vector<uint32_t> RemoteBackend::ListWanted(const std::string& account, ImapSession& imap, const std::set<uint32_t>& skip,
                                                uint32_t& validity, std::map<uint32_t, uint64_t>& size_of) {
    // A kept connection may have the INBOX selected already, and the library then skips its own
    // SELECT: an explicit one gets UIDVALIDITY and EXISTS as they are now.
    TransferResult selected = imap.Command("", "SELECT INBOX");
    ImapReply mailbox = ReadImapReply(selected.stream);
    if (selected.outcome == TransferResult::Outcome::Done) {
        selected = imap.Command("INBOX", "UID SEARCH ALL");
        mailbox.search = ReadImapReply(selected.stream).search;
    }
    std::vector<uint32_t> wanted;
    if (selected.outcome != TransferResult::Outcome::Done || mailbox.uidvalidity == 0) {
        ProblemNote(kTrace, "cannot list the mail of " + account + ": " + selected.error);
        return wanted;
    }
    validity = mailbox.uidvalidity;
    if (mailbox.search.size() < mailbox.exists) {
        ProblemNote(kTrace, "the server listed " + std::to_string(mailbox.search.size()) + " of " +
                                std::to_string(mailbox.exists) + " messages; the rest come at the next fetch");
    }
    const std::set<uint32_t> fetched = FetchedUids(root_ / (account + ".fetched"), durable_).Load(validity);
    for (uint32_t uid : mailbox.search) {
        if (!fetched.contains(uid) && !skip.contains(uid)) wanted.push_back(uid);
    }
    std::sort(wanted.begin(), wanted.end());
    wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
    std::map<uint32_t, std::string> arrived;
    for (std::size_t at = 0; at < wanted.size(); at += kListChunk) {
        const std::size_t end = std::min<std::size_t>(wanted.size(), at + kListChunk);
        const std::string set = UidSet({wanted.begin() + static_cast<std::ptrdiff_t>(at), wanted.begin() + static_cast<std::ptrdiff_t>(end)});
        const TransferResult sizes = imap.Command("INBOX", "UID FETCH " + set + " (RFC822.SIZE INTERNALDATE)");
        for (ImapMessage& m : ReadImapReply(sizes.stream).messages) {
            size_of[m.uid] = m.size;
            if (!m.internal_date.empty()) arrived[m.uid] = std::move(m.internal_date);
        }
    }
    for (uint32_t uid : wanted) size_of.try_emplace(uid, kBatchBytes);  // unknown size: fetched alone
    FetchedUids record(root_ / (account + ".fetched"), durable_);
    std::set<std::string> ids = record.LoadIds();
    std::set<uint32_t> handed = record.TakeHanded(validity);
    std::erase_if(handed, [&](uint32_t uid) { return fetched.contains(uid) || skip.contains(uid); });
    // Still in the module's hands from this run's earlier round: noted again.
    if (!skip.empty()) record.NoteHanded(validity, {skip.begin(), skip.end()});
    std::vector<std::string> inbox = handed.empty() ? std::vector<std::string>{} : KiteInboxTexts(root_.parent_path(), account);
    std::lock_guard lock(mutex_);
    arrived_[account] = std::move(arrived);
    stored_ids_[account] = std::move(ids);
    rounds_[account]->handed_before = std::move(handed);
    rounds_[account]->inbox = std::move(inbox);
    return wanted;
}

// One UID FETCH of many messages. A batch the library cannot take whole (its answer is kept
// like header lines, under a cap) is fetched again in halves; a single message that still does
// not come is fetched alone by its URL. False when the server cannot be reached any more.
bool RemoteBackend::FetchBatch(const std::string& account, ImapSession& imap, uint32_t validity,
                               const std::vector<uint32_t>& uids) {
    const TransferResult result = imap.Command("INBOX", "UID FETCH " + UidSet(uids) + " (UID BODY.PEEK[])");
    // A server that stopped answering ends the round: halving the batch would wait for it again
    // and again while the child waits for the next letter.
    if (result.outcome == TransferResult::Outcome::TimedOut) {
        ProblemNote(kTrace, "fetching mail for " + account + " stopped: " + result.error);
        return false;
    }
    if (result.outcome != TransferResult::Outcome::Done && uids.size() > 1) {
        const auto half = uids.begin() + static_cast<std::ptrdiff_t>(uids.size() / 2);
        return FetchBatch(account, imap, validity, {uids.begin(), half}) && FetchBatch(account, imap, validity, {half, uids.end()});
    }
    ImapReply reply = ReadImapReply(result.stream);
    if (reply.uidvalidity != 0 && reply.uidvalidity != validity) return false;  // renumbered: next round starts again
    std::map<uint32_t, std::string> texts;
    for (ImapMessage& m : reply.messages) {
        if (m.has_text) texts[m.uid] = std::move(m.text);
    }
    // Noted before any is handed out: a crash after the module stored one is found next time.
    if (!FetchedUids(root_ / (account + ".fetched"), durable_).NoteHanded(validity, uids)) {
        ProblemNote(kTrace, "cannot note the letters handed out for " + account);
    }
    for (uint32_t uid : uids) {
        auto it = texts.find(uid);
        if (it == texts.end()) {
            TransferResult alone = imap.MessageText("INBOX;UIDVALIDITY=" + std::to_string(validity), uid);
            if (alone.outcome == TransferResult::Outcome::Unreachable || alone.outcome == TransferResult::Outcome::Refused ||
                alone.outcome == TransferResult::Outcome::TimedOut) {
                ProblemNote(kTrace, "fetching mail for " + account + " stopped: " + alone.error);
                return false;
            }
            if (alone.outcome != TransferResult::Outcome::Done) continue;  // gone meanwhile
            it = texts.emplace(uid, std::move(alone.stream)).first;
        }
        WaitingMail mail{account, EntryOf(validity, uid), Dated(account, uid, std::move(it->second))};
        if (FirstCopy(account, mail)) Offer(account, std::move(mail));
    }
    return true;
}

// A second copy of a letter already stored counts as fetched at once; one of a letter handed out
// in this round waits for the next round, which knows whether the first was stored.
bool RemoteBackend::FirstCopy(const std::string& account, const WaitingMail& mail) {
    const std::string id = LetterKeyOf(mail.text);
    if (id.empty()) return true;
    {
        std::lock_guard lock(mutex_);
        const bool stored = stored_ids_[account].contains(id);
        if (!stored) return rounds_[account]->offered_ids.insert(id).second;
    }
    TraceNote(kTrace, "a second copy of a letter stored before (" + id.substr(0, id.find(' ')) + ") counts as fetched");
    Acknowledge(mail);
    return false;
}

// A letter that came without a Date gets the day the server received it, in front of its text.
std::string RemoteBackend::Dated(const std::string& account, uint32_t uid, std::string text) {
    if (!HeaderValue(text, "Date").empty()) return text;
    std::string date;
    {
        std::lock_guard lock(mutex_);
        auto a = arrived_.find(account);
        if (a == arrived_.end()) return text;
        auto d = a->second.find(uid);
        if (d == a->second.end()) return text;
        date = MessageDateOf(d->second);
    }
    if (date.empty()) return text;
    return "Date: " + date + (text.find("\r\n") != std::string::npos ? "\r\n" : "\n") + text;
}

void RemoteBackend::Offer(const std::string& account, WaitingMail mail) {
    {
        std::lock_guard lock(mutex_);
        rounds_[account]->ready.push_back(std::move(mail));
    }
    changed_.notify_all();
}

bool RemoteBackend::Acknowledge(const WaitingMail& mail) {
    uint32_t validity = 0, uid = 0;
    if (!ParseEntry(mail.entry, validity, uid)) return false;
    const std::string id = LetterKeyOf(mail.text);
    bool recorded = false;
    {
        // The message thread and a fetch worker (second copies) both write the records.
        std::lock_guard writing(records_);
        FetchedUids record(root_ / (mail.account + ".fetched"), durable_);
        recorded = record.Add(validity, uid);
        bool new_id = false;
        {
            std::lock_guard lock(mutex_);
            new_id = recorded && !id.empty() && stored_ids_[mail.account].insert(id).second;
        }
        if (new_id) recorded = record.AddId(id);
    }
    std::lock_guard lock(mutex_);
    if (auto it = rounds_.find(mail.account); it != rounds_.end()) it->second->in_flight.erase(uid);
    if (recorded && settings_.delete_after_fetch) to_delete_[mail.account].insert(uid);
    return recorded;
}

// Removes the messages stored since the last round from the server (--delete-after-fetch); those
// not removed now are tried again at the next round.
void RemoteBackend::DeleteStored(const std::string& account, ImapSession& imap) {
    std::set<uint32_t> uids;
    {
        std::lock_guard lock(mutex_);
        uids.swap(to_delete_[account]);
    }
    if (uids.empty()) return;
    const std::string set = UidSet({uids.begin(), uids.end()});
    const bool flagged =
        imap.Command("INBOX", "UID STORE " + set + " +FLAGS.SILENT (\\Deleted)").outcome == TransferResult::Outcome::Done;
    if (flagged && imap.Command("INBOX", "UID EXPUNGE " + set).outcome == TransferResult::Outcome::Done) return;
    std::lock_guard lock(mutex_);
    to_delete_[account].insert(uids.begin(), uids.end());
}

uint64_t RemoteBackend::WaitingBytes(const std::string& account) {
    (void)account;  // the server's mail is counted as it arrives, not before
    return 0;
}

bool RemoteBackend::Submit(const std::string& sender, std::string_view message, const std::vector<std::string>& recipients) {
    std::vector<std::string> addresses;
    for (const std::string& r : recipients) addresses.push_back(AddressOf(r));
    // The mark names the sender first ("ID fingerprint"): it stands in the sender's place.
    const std::string mark = std::exchange(next_mark_, {});
    const bool marked = mark.starts_with(sender + " ") && mark.find('\n') == std::string::npos;
    std::string bytes = (marked ? mark : sender) + "\n" + Joined(addresses) + "\n";
    bytes.append(message);
    std::string entry;
    {
        std::lock_guard lock(mutex_);
        entry = spool_.Put(bytes);
        if (!entry.empty()) ++wanted_;
    }
    if (entry.empty()) {
        ProblemNote(kTrace, "cannot spool a letter: " + spool_.Error());
        return false;
    }
    changed_.notify_all();
    return true;
}

std::vector<std::string> RemoteBackend::SpooledMarks() const {
    std::vector<std::string> marks;
    for (const std::string& entry : spool_.Entries()) {
        std::string bytes;
        if (!spool_.Read(entry, bytes)) continue;  // sent meanwhile
        const std::string head = bytes.substr(0, bytes.find('\n'));
        if (head.find(' ') != std::string::npos) marks.push_back(head);
    }
    return marks;
}

void RemoteBackend::FinishInFlight() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return passed_ >= wanted_ || stopping_; });
}

void RemoteBackend::SendLoop() {
    std::unique_lock lock(mutex_);
    auto next = std::chrono::steady_clock::time_point::max();
    while (!stopping_) {
        const uint64_t seen = wanted_;
        if (passed_ >= seen && std::chrono::steady_clock::now() < next) {
            changed_.wait_until(lock, next, [&] { return stopping_ || wanted_ != seen; });
            continue;
        }
        lock.unlock();
        next = SendPass();
        lock.lock();
        passed_ = seen;
        changed_.notify_all();
    }
}

std::chrono::steady_clock::time_point RemoteBackend::SendPass() {
    auto next = std::chrono::steady_clock::time_point::max();
    const auto now = std::chrono::steady_clock::now();
    for (const std::string& entry : spool_.Entries()) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) break;
            if (auto due = retry_at_.find(entry); due != retry_at_.end() && due->second > now) {
                next = std::min(next, due->second);
                continue;
            }
        }
        if (SendOne(entry)) continue;
        std::lock_guard lock(mutex_);
        auto& wait = backoff_[entry];
        wait = wait.count() == 0 ? kFirstRetry : std::min(wait * 2, kLongestRetry);
        retry_at_[entry] = now + wait;
        next = std::min(next, now + wait);
    }
    return next;
}

// True when the entry is done with: sent, or refused for good and its sender told. The spool
// entry's note lists the recipients the server already took (or refused, once the sender was
// told), so a retry goes only to the others.
bool RemoteBackend::SendOne(const std::string& entry) {
    std::string bytes;
    if (!spool_.Read(entry, bytes)) return true;
    const std::optional<Spooled> mail = ReadSpooled(bytes);
    if (!mail) {
        ProblemNote(kTrace, "a spooled letter (" + entry + ") cannot be read; it is kept in the spool");
        return true;
    }
    const std::optional<Credentials> who = CredentialsOf(mail->sender);
    if (!who) return true;  // goes once its sender signs in again
    std::set<std::string> noted;
    std::istringstream note(spool_.ReadNote(entry));
    for (std::string line; std::getline(note, line);) noted.insert(line);
    std::vector<std::string> pending;
    for (const std::string& r : mail->recipients) {
        if (!noted.contains(r)) pending.push_back(r);
    }
    const std::string from = AddressOf(who->login);
    std::vector<std::string> refused;
    std::string why;
    bool later = false;
    TransferResult result = pending.empty() ? TransferResult{TransferResult::Outcome::Done, 0, "", ""}
                                            : SmtpSubmit(settings_, *who, from, pending, mail->text);
    if (result.outcome == TransferResult::Outcome::Done) {
        TraceNote(kTrace, "sent " + entry + " for " + mail->sender);
    } else if (result.outcome == TransferResult::Outcome::Failed &&
               (result.Permanent() || (pending.size() > 1 && result.response >= 400))) {
        // The server refuses the whole letter when it refuses one recipient (an unknown address,
        // a full mailbox): with several, each is tried alone, so that those it takes still get
        // the letter; one refused for now is tried again later.
        for (const std::string& r : pending) {
            const TransferResult alone = pending.size() == 1 ? result : SmtpSubmit(settings_, *who, from, {r}, mail->text);
            if (alone.outcome == TransferResult::Outcome::Done) {
                if (!spool_.AppendNote(entry, r)) ProblemNote(kTrace, spool_.Error());  // a retry may repeat it
            } else if (alone.outcome == TransferResult::Outcome::Failed && alone.Permanent()) {
                refused.push_back(r);
                why += (why.empty() ? "" : "; ") + (pending.size() == 1 ? "" : r + ": ") + alone.error;
            } else {
                later = true;
            }
        }
    } else {
        TraceNote(kTrace, "sending " + entry + " failed for now: " + result.error);
        return false;
    }
    if (!refused.empty()) {
        const std::string letter = Undeliverable(mail->sender, mail->text, why);
        if (ImapAppend(settings_, *who, "INBOX", letter).outcome != TransferResult::Outcome::Done) return false;
        ProblemNote(kTrace, "a letter from " + mail->sender + " could not be delivered: " + why);
        for (const std::string& r : refused) spool_.AppendNote(entry, r);  // told once
    }
    if (later) {
        TraceNote(kTrace, "sending " + entry + " failed for now for some of its recipients");
        return false;
    }
    std::lock_guard lock(mutex_);
    spool_.Remove(entry);
    backoff_.erase(entry);
    retry_at_.erase(entry);
    return true;
}

std::string RemoteBackend::Undeliverable(const std::string& sender, const std::string& message, const std::string& why) const {
    const std::string subject = HeaderValue(message, "Subject");
    const std::string to = HeaderValue(message, "To");
    std::string letter = "From: Mail Delivery <postmaster@" + (settings_.domain.empty() ? "localhost" : settings_.domain) + ">\r\n";
    letter += "To: " + AddressOf(sender) + "\r\n";
    letter += "Subject: Your letter could not be delivered\r\n";
    letter += "Date: " + DateNow() + "\r\n";
    letter += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    letter += "Your letter could not be delivered.\r\n\r\n";
    letter += "To: " + to + "\r\nSubject: " + subject + "\r\n\r\n";
    letter += "The mail server said: " + why + "\r\n";
    return letter;
}

}  // namespace harbor
