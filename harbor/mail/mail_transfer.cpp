#include "mail/mail_transfer.h"

#include <cstring>
#include <memory>
#include <mutex>

#include <curl/curl.h>

namespace harbor {

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;

struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using List = std::unique_ptr<curl_slist, ListDeleter>;

size_t Collect(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

size_t Discard(char*, size_t size, size_t count, void*) { return size * count; }

struct Upload {
    const std::string* text;
    size_t at = 0;
};

size_t Feed(char* buffer, size_t size, size_t count, void* user) {
    auto* up = static_cast<Upload*>(user);
    const size_t n = std::min(size * count, up->text->size() - up->at);
    std::memcpy(buffer, up->text->data() + up->at, n);
    up->at += n;
    return n;
}

std::string Trimmed(std::string address) {
    while (!address.empty() && address.back() == '/') address.pop_back();
    return address;
}

// The settings every exchange shares: TLS, timeouts, credentials, no signals (worker threads).
Easy Prepare(const ServerSettings& server, const std::string& address, const Credentials& who) {
    GlobalInit();
    Easy easy(curl_easy_init());
    if (!easy) return easy;
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // A large receive buffer: IMAP answers are read line by line out of it, and a line longer
    // than what is left of the buffer (a long SEARCH answer, a long line in a message) is cut.
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kConnectSeconds);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, kExchangeSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!server.ca_file.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, server.ca_file.c_str());
    // imap:// and smtp:// must upgrade with STARTTLS, except to this computer (tests).
    const bool implicit = address.starts_with("imaps://") || address.starts_with("smtps://");
    if (!implicit) curl_easy_setopt(c, CURLOPT_USE_SSL, IsLoopbackAddress(address) ? CURLUSESSL_NONE : CURLUSESSL_ALL);
    curl_easy_setopt(c, CURLOPT_USERNAME, who.login.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, who.password.c_str());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Discard);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Discard);
    return easy;
}

TransferResult Run(CURL* c) {
    TransferResult result;
    char error[CURL_ERROR_SIZE] = {0};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode code = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.response);
    result.error = error[0] != 0 ? error : curl_easy_strerror(code);
    switch (code) {
        case CURLE_OK: result.outcome = TransferResult::Outcome::Done; break;
        case CURLE_LOGIN_DENIED: result.outcome = TransferResult::Outcome::Refused; break;
        case CURLE_OPERATION_TIMEDOUT: result.outcome = TransferResult::Outcome::TimedOut; break;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_USE_SSL_FAILED:
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_PARTIAL_FILE:  // the connection closed inside a message
        case CURLE_SEND_ERROR:
        case CURLE_WEIRD_SERVER_REPLY: result.outcome = TransferResult::Outcome::Unreachable; break;
        default: result.outcome = TransferResult::Outcome::Failed; break;
    }
    // SMTP answers a refused message with a code; that is the server speaking, not a lost line.
    if (result.outcome == TransferResult::Outcome::Unreachable && result.response >= 400) {
        result.outcome = TransferResult::Outcome::Failed;
    }
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);  // the handle may outlive this buffer
    return result;
}

}  // namespace

struct ImapSession::Handle {
    Easy easy;
};

ImapSession::ImapSession(const ServerSettings& server, Credentials who)
    : server_(server), who_(std::move(who)), handle_(std::make_unique<Handle>()) {}

ImapSession::~ImapSession() = default;

TransferResult ImapSession::Command(const std::string& mailbox, const std::string& command, long seconds) {
    const std::string address = Trimmed(server_.imap) + "/" + mailbox;
    if (seconds == 0) seconds = command.empty() ? kSignInSeconds : kExchangeSeconds;
    return Perform(address, command.empty() ? "NOOP" : command.c_str(), seconds, false);
}

TransferResult ImapSession::MessageText(const std::string& mailbox, uint32_t uid) {
    const std::string address = Trimmed(server_.imap) + "/" + mailbox + ";UID=" + std::to_string(uid);
    return Perform(address, nullptr, kExchangeSeconds, true);
}

// A custom command's untagged answers, literals included, reach the header callback line by line;
// a message asked for by its URL comes as the body.
TransferResult ImapSession::Perform(const std::string& address, const char* command, long seconds, bool body) {
    for (int attempt = 0;; ++attempt) {
        if (!handle_->easy) handle_->easy = Prepare(server_, address, who_);
        if (!handle_->easy) return {TransferResult::Outcome::Failed, 0, "no transfer handle", ""};
        CURL* c = handle_->easy.get();
        std::string collected;
        curl_easy_setopt(c, CURLOPT_URL, address.c_str());
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, command);
        curl_easy_setopt(c, CURLOPT_TIMEOUT, seconds);
        curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, body ? &Discard : &Collect);
        curl_easy_setopt(c, CURLOPT_HEADERDATA, body ? nullptr : &collected);
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, body ? &Collect : &Discard);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, body ? &collected : nullptr);
        TransferResult result = Run(c);
        curl_easy_setopt(c, CURLOPT_HEADERDATA, nullptr);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, nullptr);
        long made = 0;
        curl_easy_getinfo(c, CURLINFO_NUM_CONNECTS, &made);
        connections_ += made;
        result.stream = std::move(collected);
        // A kept connection the server closed meanwhile (idle, restarted) is no verdict on the
        // server: one more try on a fresh connection decides.
        const bool reused = made == 0 && connections_ > 0;
        if (result.outcome != TransferResult::Outcome::Unreachable || !reused || attempt > 0) return result;
        handle_->easy.reset();
    }
}

TransferResult ImapCommand(const ServerSettings& server, const Credentials& who, const std::string& mailbox,
                           const std::string& command) {
    return ImapSession(server, who).Command(mailbox, command);
}

TransferResult ImapMessageText(const ServerSettings& server, const Credentials& who, const std::string& mailbox,
                               uint32_t uid) {
    return ImapSession(server, who).MessageText(mailbox, uid);
}

TransferResult ImapAppend(const ServerSettings& server, const Credentials& who, const std::string& mailbox,
                          const std::string& message) {
    const std::string address = Trimmed(server.imap) + "/" + mailbox;
    Easy easy = Prepare(server, address, who);
    if (!easy) return {TransferResult::Outcome::Failed, 0, "no transfer handle", ""};
    const std::string text = WithCrlf(message);
    Upload up{&text};
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &Feed);
    curl_easy_setopt(c, CURLOPT_READDATA, &up);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(text.size()));
    return Run(c);
}

TransferResult SmtpSubmit(const ServerSettings& server, const Credentials& who, const std::string& from,
                          const std::vector<std::string>& recipients, const std::string& message) {
    const std::string address = Trimmed(server.smtp);
    Easy easy = Prepare(server, address, who);
    if (!easy) return {TransferResult::Outcome::Failed, 0, "no transfer handle", ""};
    List rcpt;
    for (const std::string& r : recipients) {
        curl_slist* grown = curl_slist_append(rcpt.get(), r.c_str());
        if (grown == nullptr) return {TransferResult::Outcome::Failed, 0, "out of memory", ""};
        (void)rcpt.release();
        rcpt.reset(grown);
    }
    const std::string text = WithCrlf(message);
    Upload up{&text};
    CURL* c = easy.get();
    curl_easy_setopt(c, CURLOPT_URL, address.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, ("<" + from + ">").c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &Feed);
    curl_easy_setopt(c, CURLOPT_READDATA, &up);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(text.size()));
    return Run(c);
}

std::string WithCrlf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 40);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    if (!out.ends_with("\r\n")) out += "\r\n";
    return out;
}

}  // namespace harbor
