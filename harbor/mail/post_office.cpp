#include "mail/post_office.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <utility>

#include "fileio/atomic_file.h"
#include "fileio/held_files.h"
#include "mail/durable_dirs.h"
#include "mail/mime_message.h"
#include "mail/player_inbox.h"
#include "base/trace_log.h"
#include "services/regional_service.h"

namespace harbor {

namespace {

std::filesystem::path OfficeDir(const PostOfficeOptions& o) { return o.data_root / ".postoffice"; }


bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A spooled letter: this mark on the first line, its recipients one a line, an empty line, then
// the message. A file spooled before letters were kept once holds one recipient on its first
// line, then the message.
constexpr std::string_view kSpoolMark = "Harbor-Spool 2";

std::string SpoolText(const std::vector<std::string>& recipients, const std::string& message, const std::string& mark) {
    std::string text = std::string(kSpoolMark) + (mark.empty() ? "" : " " + mark) + "\n";
    for (const std::string& recipient : recipients) text += recipient + "\n";
    return text + "\n" + message;
}

bool SplitSpooled(const std::string& bytes, std::vector<std::string>& recipients, std::string_view& message) {
    recipients.clear();
    std::size_t start = 0;
    const bool listed = bytes.starts_with(kSpoolMark) && bytes.size() > kSpoolMark.size() &&
                        (bytes[kSpoolMark.size()] == '\n' || bytes[kSpoolMark.size()] == ' ');
    if (listed) start = bytes.find('\n') + 1;
    for (;;) {
        const auto newline = bytes.find('\n', start);
        if (newline == std::string::npos) return false;
        const std::string line = bytes.substr(start, newline - start);
        start = newline + 1;
        if (line.empty()) break;
        recipients.push_back(line);
        if (!listed) break;
    }
    message = std::string_view(bytes).substr(start);
    return !recipients.empty() && recipients.size() <= kMaxRecipients;
}

// The recipients of a spooled letter already delivered: the indexes its note lists.
std::set<std::size_t> DeliveredOf(const std::string& note) {
    std::set<std::size_t> done;
    std::size_t start = 0;
    for (auto end = note.find('\n'); end != std::string::npos; start = end + 1, end = note.find('\n', start)) {
        std::size_t index = 0;
        const auto [last, ec] = std::from_chars(note.data() + start, note.data() + end, index);
        if (ec == std::errc() && last == note.data() + end) done.insert(index);
    }
    return done;
}

// A recipient's copy goes into a waiting queue under a number made of the spool entry's and the
// recipient's, so a delivery repeated after a crash finds its earlier copy instead of adding one.
std::string PutDelivered(MailQueue& queue, const std::string& entry, std::size_t index, std::string_view message) {
    constexpr uint64_t kLargest = 9999999999999999ULL;  // 16 digits
    constexpr uint64_t kSlots = 128;                    // more than kMaxRecipients
    const uint64_t number = MailQueue::NumberOf(entry);
    if (number > (kLargest - kSlots) / kSlots) return queue.Put(message);
    return queue.PutOnce(number * kSlots + index, message);
}

std::string Taken(char* text) {
    std::string out(text != nullptr ? text : "");
    g_free(text);
    return out;
}

// The header lines a message lacks, in the message's own line end.
std::string MissingHeaders(std::string_view message, const std::string& domain) {
    mime::Ref<GMimeMessage> parsed = mime::MessageFromText(message);
    GMimeObject* object = GMIME_OBJECT(parsed.get());
    const auto first_end = message.find('\n');
    const std::string eol = first_end != std::string_view::npos && first_end > 0 && message[first_end - 1] == '\r'
                                ? "\r\n"
                                : "\n";
    std::string lines;
    if (g_mime_object_get_header(object, "Date") == nullptr) {
        GDateTime* now = g_date_time_new_from_unix_utc(static_cast<gint64>(RegionalService::Now()));
        lines += "Date: " + Taken(g_mime_utils_header_format_date(now)) + eol;
        g_date_time_unref(now);
    }
    if (g_mime_object_get_header(object, "Message-ID") == nullptr) {
        lines += "Message-ID: <" + Taken(g_mime_utils_generate_message_id(domain.c_str())) + ">" + eol;
    }
    return lines;
}

}  // namespace

std::string PostOffice::Accepted(std::string_view message) const {
    return MissingHeaders(message, options_.domain) + std::string(message);
}

PostOffice::PostOffice(PostOfficeOptions options)
    : options_(std::move(options)),
      accounts_(OfficeDir(options_) / "accounts", options_.password_cost, options_.durable, options_.data_root),
      spool_(OfficeDir(options_) / "spool", options_.durable, options_.data_root),
      root_(OpenDirectory(options_.data_root)) {
    if (!spool_.Ready()) ProblemNote("MailPort", "the post office cannot keep mail: " + spool_.Error());
}

bool PostOffice::Submit(std::string_view message, const std::vector<std::string>& recipients) {
    const std::string mark = std::exchange(next_mark_, {});
    if (mark.find('\n') != std::string::npos) return false;
    if (recipients.empty() || !spool_.Ready()) return false;
    if (recipients.size() > kMaxRecipients) {
        ProblemNote("MailPort", "a letter may go to at most " + std::to_string(kMaxRecipients) + " recipients; this one has " +
                                    std::to_string(recipients.size()) + ": it is not sent");
        return false;
    }
    for (const std::string& recipient : recipients) {
        if (recipient.empty() || recipient.find('\n') != std::string::npos) return false;
    }
    if (spool_.Put(SpoolText(recipients, Accepted(message), mark)).empty()) {
        ProblemNote("MailPort", "a message could not be spooled: " + spool_.Error());
        return false;
    }
    return true;
}

std::string PostOffice::LocalName(const std::string& address) const {
    const auto at = address.rfind('@');
    if (at == std::string::npos) return address;
    if (!SameText(std::string_view(address).substr(at + 1), options_.domain)) return {};
    return address.substr(0, at);
}

PostOffice::Route PostOffice::RouteOf(const std::string& address, std::string& local) const {
    local = LocalName(address);
    if (!IsValidKiteId(local)) return Route::Elsewhere;
    if (std::optional<std::string> account = accounts_.Find(local)) {
        local = *account;
        return Route::Account;
    }
    return PlayerKnown(options_.data_root, local) ? Route::Player : Route::Elsewhere;
}

MailQueue& PostOffice::Waiting(const std::string& account) {
    std::unique_ptr<MailQueue>& queue = waiting_[account];
    if (queue == nullptr) queue = std::make_unique<MailQueue>(OfficeDir(options_) / "waiting" / account, options_.durable,
                                                              options_.data_root);
    return *queue;
}

// Delivers to each recipient not yet delivered, noting each delivery beside the entry; true
// once every recipient has it.
bool PostOffice::DeliverEntry(const std::string& entry, const std::string& bytes) {
    std::vector<std::string> recipients;
    std::string_view message;
    if (!SplitSpooled(bytes, recipients, message)) {
        ProblemNote("MailPort", "the spooled file " + entry + " is not a message; it stays in the spool");
        return false;
    }
    const std::set<std::size_t> delivered = DeliveredOf(spool_.ReadNote(entry));
    bool all = true;
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        if (delivered.count(i) != 0) continue;
        if (!DeliverOne(entry, i, recipients[i], message)) {
            all = false;
        } else if (recipients.size() > 1) {
            spool_.AppendNote(entry, std::to_string(i));  // a lone recipient's note is the entry's removal
        }
    }
    return all;
}

bool PostOffice::DeliverOne(const std::string& entry, std::size_t index, const std::string& recipient,
                            std::string_view message) {
    std::string local;
    std::string error;
    switch (RouteOf(recipient, local)) {
        case Route::Account:
            if (!PutDelivered(Waiting(local), entry, index, message).empty()) return true;
            error = Waiting(local).Error();
            break;
        case Route::Player:
            if (SaveToPlayerInbox(options_.data_root, local, message, options_.durable, error) != 0) return true;
            break;
        case Route::Elsewhere:
            if (IsValidKiteId(local) && spool_.AgeOf(entry) > kUndeliverableAfterSeconds) {
                return ReturnToSender(entry, index, recipient, message);
            }
            if (noted_.insert(entry + " " + recipient).second) {
                TraceNote("MailPort", "mail to " + recipient + " waits in the outgoing spool: it is not an account or "
                                      "player of this computer, and no mail server is set up");
            }
            return false;
    }
    ProblemNote("MailPort", "mail to " + recipient + " could not be delivered (" + error + "); it stays in the spool");
    return false;
}

// Mail for a kite ID of this computer that nobody has: after kUndeliverableAfterSeconds the
// sender gets a friendly letter saying so, with the letter inside, and the copy leaves the spool.
bool PostOffice::ReturnToSender(const std::string& entry, std::size_t index, const std::string& recipient,
                                std::string_view message) {
    mime::Ref<GMimeMessage> letter = mime::MessageFromText(message);
    const std::string from = mime::Addresses(letter.get(), GMIME_ADDRESS_TYPE_FROM, options_.domain);
    std::string sender;
    if (RouteOf(from.substr(0, from.find(',')), sender) != Route::Account) {
        TraceNote("MailPort", "mail to " + recipient + " cannot be delivered and its sender is not an account here: "
                              "it stays in the spool");
        return false;
    }
    const std::string subject = mime::Subject(letter.get());
    const std::string text = "From: Wrenmail Post Office <postmaster@" + options_.domain + ">\nTo: " + sender + "@" +
                             options_.domain + "\nSubject: Could not be delivered: " + subject +
                             "\nMIME-Version: 1.0\nContent-Type: text/plain; charset=utf-8\n\n"
                             "Hello!\n\nYour letter \"" + subject + "\" could not be delivered to " + recipient +
                             ": nobody has that ID on this computer. Check the name and send it again.\n\n"
                             "Here is your letter as you wrote it:\n\n" + std::string(message);
    if (PutDelivered(Waiting(sender), entry, index, Accepted(text)).empty()) return false;
    TraceNote("MailPort", "mail to " + recipient + " could not be delivered: it went back to " + sender);
    return true;
}

std::size_t PostOffice::DeliverSpool() {
    std::size_t delivered = 0;
    for (const std::string& entry : spool_.Entries()) {
        std::string bytes;
        if (!spool_.Read(entry, bytes) || !DeliverEntry(entry, bytes)) continue;
        spool_.Remove(entry);
        ++delivered;
    }
    return delivered;
}

std::vector<std::string> PostOffice::SpooledMarks() const {
    std::vector<std::string> marks;
    for (const std::string& entry : spool_.Entries()) {
        std::string bytes;
        if (!spool_.Read(entry, bytes) || !bytes.starts_with(std::string(kSpoolMark) + " ")) continue;
        const auto end = bytes.find('\n');
        if (end != std::string::npos) marks.push_back(bytes.substr(kSpoolMark.size() + 1, end - kSpoolMark.size() - 1));
    }
    return marks;
}

std::vector<SpooledMail> PostOffice::Outgoing() const {
    std::vector<SpooledMail> out;
    for (const std::string& entry : spool_.Entries()) {
        std::string bytes;
        std::vector<std::string> recipients;
        std::string_view message;
        if (!spool_.Read(entry, bytes) || !SplitSpooled(bytes, recipients, message)) continue;
        const std::set<std::size_t> delivered = DeliveredOf(spool_.ReadNote(entry));
        for (std::size_t i = 0; i < recipients.size(); ++i) {
            if (delivered.count(i) == 0) out.push_back({entry, recipients[i]});
        }
    }
    return out;
}

std::optional<WaitingMail> PostOffice::Next(const std::string& account) {
    MailQueue& queue = Waiting(account);
    for (const std::string& entry : queue.Entries()) {
        if (in_flight_.count({account, entry}) != 0) continue;
        WaitingMail mail{account, entry, {}};
        if (!queue.Read(entry, mail.text)) continue;
        // Handed out by an earlier run that stopped before the module said it was stored.
        if (!queue.ReadNote(entry).empty() && StoredInInbox(account, mail.text)) {
            TraceNote("MailPort", "a message for " + account + " was stored before a crash: it counts as fetched");
            Acknowledge(mail);
            continue;
        }
        queue.AppendNote(entry, "handed out");
        in_flight_.insert({account, entry});
        return mail;
    }
    return std::nullopt;
}

// A fetched message is kept in the holding area for kHeldDays, as deleted message files are:
// `harbor recover` puts it back into the waiting mail.
// The module stores a fetched message's Data as it is in a message file of the account's InBox.
bool PostOffice::StoredInInbox(const std::string& account, const std::string& text) const {
    const std::string data = StoredForm(text);
    const std::vector<std::string> files = KiteInboxTexts(options_.data_root, account);
    return std::any_of(files.begin(), files.end(), [&](const std::string& file) { return file.find(data) != std::string::npos; });
}

bool PostOffice::Acknowledge(const WaitingMail& mail) {
    in_flight_.erase({mail.account, mail.entry});
    MailQueue& queue = Waiting(mail.account);
    if (root_.Valid() && queue.Hold(mail.entry, root_.Get(), {".postoffice", "waiting", mail.account})) return true;
    ProblemNote("MailPort", "a fetched message could not be kept (" + queue.Error() + "); it is removed");
    return queue.Remove(mail.entry);
}

std::size_t PostOffice::WaitingCount(const std::string& account) { return Waiting(account).Entries().size(); }

uint64_t PostOffice::WaitingBytes(const std::string& account) {
    MailQueue& queue = Waiting(account);
    uint64_t total = 0;
    for (const std::string& entry : queue.Entries()) total += queue.SizeOf(entry);
    return total;
}

void PostOffice::DiscardWaiting(const std::string& account) {
    MailQueue& queue = Waiting(account);
    for (const std::string& entry : queue.Entries()) queue.Remove(entry);
    waiting_.erase(account);
    std::error_code ec;
    std::filesystem::remove(OfficeDir(options_) / "waiting" / account, ec);
}

}  // namespace harbor
