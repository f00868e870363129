#include "mail/post_office.h"

#include <algorithm>
#include <cctype>

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

// A spooled copy: the recipient's address on the first line, then the message.
bool SplitSpooled(const std::string& bytes, std::string& recipient, std::string_view& message) {
    const auto newline = bytes.find('\n');
    if (newline == std::string::npos) return false;
    recipient = bytes.substr(0, newline);
    message = std::string_view(bytes).substr(newline + 1);
    return !recipient.empty();
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
      spool_(OfficeDir(options_) / "spool", options_.durable, options_.data_root) {
    if (!spool_.Ready()) ProblemNote("MailPort", "the post office cannot keep mail: " + spool_.Error());
}

bool PostOffice::Submit(std::string_view message, const std::vector<std::string>& recipients) {
    if (recipients.empty() || !spool_.Ready()) return false;
    if (recipients.size() > kMaxRecipients) {
        ProblemNote("MailPort", "a letter may go to at most " + std::to_string(kMaxRecipients) + " recipients; this one has " +
                                    std::to_string(recipients.size()) + ": it is not sent");
        return false;
    }
    const std::string accepted = Accepted(message);
    for (const std::string& recipient : recipients) {
        if (recipient.find('\n') != std::string::npos) return false;
        if (spool_.Put(recipient + "\n" + accepted).empty()) {
            ProblemNote("MailPort", "a message could not be spooled: " + spool_.Error());
            return false;
        }
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

bool PostOffice::DeliverOne(const std::string& entry, const std::string& bytes) {
    std::string recipient;
    std::string_view message;
    if (!SplitSpooled(bytes, recipient, message)) {
        ProblemNote("MailPort", "the spooled file " + entry + " is not a message; it stays in the spool");
        return false;
    }
    std::string local;
    std::string error;
    switch (RouteOf(recipient, local)) {
        case Route::Account:
            if (!Waiting(local).Put(message).empty()) return true;
            error = Waiting(local).Error();
            break;
        case Route::Player:
            if (SaveToPlayerInbox(options_.data_root, local, message, options_.durable, error) != 0) return true;
            break;
        case Route::Elsewhere:
            if (IsValidKiteId(local) && spool_.AgeOf(entry) > kUndeliverableAfterSeconds) {
                return ReturnToSender(recipient, message);
            }
            if (noted_.insert(entry).second) {
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
bool PostOffice::ReturnToSender(const std::string& recipient, std::string_view message) {
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
    if (Waiting(sender).Put(Accepted(text)).empty()) return false;
    TraceNote("MailPort", "mail to " + recipient + " could not be delivered: it went back to " + sender);
    return true;
}

std::size_t PostOffice::DeliverSpool() {
    std::size_t delivered = 0;
    for (const std::string& entry : spool_.Entries()) {
        std::string bytes;
        if (!spool_.Read(entry, bytes) || !DeliverOne(entry, bytes)) continue;
        spool_.Remove(entry);
        ++delivered;
    }
    return delivered;
}

std::vector<SpooledMail> PostOffice::Outgoing() const {
    std::vector<SpooledMail> out;
    for (const std::string& entry : spool_.Entries()) {
        std::string bytes;
        std::string recipient;
        std::string_view message;
        if (spool_.Read(entry, bytes) && SplitSpooled(bytes, recipient, message)) out.push_back({entry, recipient});
    }
    return out;
}

std::optional<WaitingMail> PostOffice::Next(const std::string& account) {
    MailQueue& queue = Waiting(account);
    for (const std::string& entry : queue.Entries()) {
        if (in_flight_.count({account, entry}) != 0) continue;
        WaitingMail mail{account, entry, {}};
        if (!queue.Read(entry, mail.text)) continue;
        in_flight_.insert({account, entry});
        return mail;
    }
    return std::nullopt;
}

bool PostOffice::Acknowledge(const WaitingMail& mail) {
    in_flight_.erase({mail.account, mail.entry});
    return Waiting(mail.account).Remove(mail.entry);
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
