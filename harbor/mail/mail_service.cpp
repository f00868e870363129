#include "mail/mail_service.h"

#include <algorithm>
#include <cassert>
#include <initializer_list>
#include <vector>

#include <sys/statvfs.h>

#include "fileio/stored_messages.h"
#include "hxmsg.h"
#include "mail/local_backend.h"
#include "message_codes.h"
#include "mail/remote_backend.h"
#include "mail/server_settings.h"
#include "base/atoms.h"
#include "base/trace_log.h"
#include "services/regional_service.h"

namespace harbor {

namespace {

constexpr const char* kPort = "MailPort";

std::string TextOf(const EDict& r, uint16_t key) {
    const char* text = EDictGetText(&r, key);
    return text != nullptr ? std::string(text) : std::string();
}

uint32_t HandleOf(const EDict& r, uint16_t key) { return static_cast<uint32_t>(EDictGetLong(&r, key)); }

// The keys of the record after its first `skip` keys' atoms are left out.
std::vector<std::pair<uint16_t, uint16_t>> OtherKeys(const EDict& r, std::initializer_list<uint16_t> skip) {
    std::vector<std::pair<uint16_t, uint16_t>> keys;
    for (int32_t i = 0; i < EDictKeyCount(&r); ++i) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(&r, i, &type);
        if (key != 0 && std::find(skip.begin(), skip.end(), key) == skip.end()) keys.emplace_back(key, type);
    }
    return keys;
}

std::string Numbered(const char* what, uint32_t handle) { return std::string(what) + " " + std::to_string(handle); }

}  // namespace

MailService* MailService::live_ = nullptr;

namespace {

MailServiceOptions WithDomain(MailServiceOptions options) {
    std::string unused;
    if (auto server = LoadServerSettings(options.data_root, unused); server && !server->domain.empty()) {
        options.domain = server->domain;
    }
    if (options.domain.empty()) options.domain = std::string(kDefaultMailDomain);
    return options;
}

}  // namespace

MailService::MailService(MailServiceOptions options)
    : options_(WithDomain(std::move(options))),
      keys_{AtomOf(kPort),    AtomOf("Manager"), AtomOf("Username"), AtomOf("Password"), AtomOf("Status"),
            AtomOf("Success"), AtomOf("Message"), AtomOf("Data"),     AtomOf("Part"),     AtomOf("Index")},
      objects_(options_.domain) {
    assert(live_ == nullptr && "one mail service at a time");
    if (!options_.data_root.empty()) {
        resend_ = std::make_unique<ResendGuard>(options_.data_root, options_.durable);
        office_ = std::make_unique<PostOffice>(
            PostOfficeOptions{options_.data_root, options_.domain, options_.password_cost, options_.durable});
        std::string error;
        const std::optional<ServerSettings> server = LoadServerSettings(options_.data_root, error);
        if (server) {
            backend_ = std::make_unique<RemoteBackend>(*server, options_.data_root, options_.durable);
            TraceNote(kPort, "mail goes through the server " + server->imap + " / " + server->smtp);
        } else {
            if (!error.empty()) ProblemNote(kPort, error + "; the embedded post office is used");
            backend_ = std::make_unique<LocalBackend>(*office_);
        }
        // Letters spooled by a run that stopped before it noted them: the module sends them again.
        // Read before the spool moves on, which forgets a delivered letter's mark.
        for (const std::string& mark : backend_->SpooledMarks()) resend_->Recovered(mark);
        if (!server) office_->DeliverSpool();
    }
    live_ = this;
    HxPortAttach(keys_.port, &MailService::OnPort);
}

MailService::~MailService() {
    HxPortDetach(keys_.port, &MailService::OnPort);
    live_ = nullptr;
    backend_.reset();  // stops its threads before the post office goes
}

bool MailService::OnPort(EDict* record) { return live_ != nullptr && record != nullptr && live_->HandleRecord(*record); }

bool MailService::HandleRecord(EDict& r) {
    switch (EDictGetType(&r)) {
        case code::kOpen: SignIn(r); return true;
        case code::kClose: SignOut(r); return true;
        case code::kFetchNext: Next(r); return true;
        case code::kSendMessage: Send(r); return true;
        case code::kCreate: New(r); return true;
        case code::kAddPart: AddPart(r); return true;
        case code::kDelete: Free(r); return true;
        case code::kGet: Get(r); return true;
        case code::kSet: Set(r); return true;
        default: return false;
    }
}

void MailService::SignIn(EDict& r) {
    EDictPutHandle(&r, keys_.manager, 0);
    if (!Reachable()) {
        EDictRemove(&r, keys_.status);
        EDictRemove(&r, keys_.success);
        TraceNote(kPort, "sign-in: the mail service cannot be reached");
        return;
    }
    const std::string name = TextOf(r, keys_.username);
    const SignInAnswer answer = backend_->SignIn(name, TextOf(r, keys_.password));
    if (answer.kind == SignInAnswer::Kind::Unreachable) {
        EDictRemove(&r, keys_.status);
        EDictRemove(&r, keys_.success);
        TraceNote(kPort, "sign-in: " + answer.why);
        return;
    }
    const bool accepted = answer.kind == SignInAnswer::Kind::Accepted;
    const std::optional<std::string> account = accepted ? std::optional(answer.account) : std::nullopt;
    EDictPutLong(&r, keys_.success, 1);
    EDictPutLong(&r, keys_.status, accepted ? kSignInAccepted : kSignInRefused);
    if (!accepted) {
        TraceNote(kPort, "sign-in refused for '" + name + "': " + answer.why);
        return;
    }
    if (!DiskCanTake(*account)) {
        EDictRemove(&r, keys_.status);
        EDictRemove(&r, keys_.success);
        return;
    }
    const uint32_t manager = next_manager_++;
    managers_[manager] = *account;
    EDictPutHandle(&r, keys_.manager, manager);
    backend_->Opened(*account);
    TraceNote(kPort, *account + " signed in as " + Numbered("manager", manager));
}

uint64_t MailService::FreeBytes() const {
    if (options_.free_bytes) return options_.free_bytes();
    struct statvfs fs {};
    if (::statvfs(options_.data_root.c_str(), &fs) != 0) return UINT64_MAX;  // cannot tell: do not stop mail
    return static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
}

// Mail moves only when the disk can take it: every waiting message stored (and its temporary
// file while it is written) plus a margin. Otherwise sign-in answers as if the service could
// not be reached, and says why.
bool MailService::DiskCanTake(const std::string& account) {
    const uint64_t need = 2 * backend_->WaitingBytes(account) + kDiskMargin;
    const uint64_t free = FreeBytes();
    if (free >= need) return true;
    ProblemNote(kPort, "the disk is full: " + std::to_string(free / 1024) + " KiB free, " + std::to_string(need / 1024) +
                           " KiB needed to move mail for " + account + "; no mail is sent or fetched until there is room");
    if (options_.notice) options_.notice(kDiskFullNotice);
    return false;
}

void MailService::SignOut(EDict& r) {
    const uint32_t manager = HandleOf(r, keys_.manager);
    if (managers_.erase(manager) == 0) TraceNote(kPort, "sign-out: " + Numbered("manager", manager) + " is not there");
}

const std::string* MailService::AccountOf(const EDict& r, const char* request) {
    const uint32_t manager = HandleOf(r, keys_.manager);
    auto it = managers_.find(manager);
    if (it == managers_.end()) {
        TraceNote(kPort, std::string(request) + ": " + Numbered("manager", manager) + " is not there");
        return nullptr;
    }
    if (!Reachable()) {
        TraceNote(kPort, std::string(request) + ": the mail service cannot be reached");
        return nullptr;
    }
    return &it->second;
}

void MailService::Next(EDict& r) {
    EDictPutHandle(&r, keys_.message, 0);
    const std::string* account = AccountOf(r, "next message");
    if (account == nullptr) return;
    if (resend_ != nullptr) resend_->RoundDone(*account);  // the module fetches once its OutBox is done
    std::optional<WaitingMail> mail = backend_->Next(*account);
    if (!mail) return;
    const uint32_t message = objects_.NewMessage(mail->text);
    fetched_[message] = std::move(*mail);
    EDictPutHandle(&r, keys_.message, message);
}

std::string MailService::OutgoingText(GMimeObject* message) const {
    mime::Ref<GMimeMessage> copy = mime::MessageFromText(mime::Serialise(message));
    if (g_mime_message_get_message_id(copy.get()) == nullptr) {
        char* id = g_mime_utils_generate_message_id(options_.domain.c_str());
        g_mime_message_set_message_id(copy.get(), id);
        g_free(id);
    }
    if (g_mime_message_get_date(copy.get()) == nullptr) mime::SetDate(copy.get(), RegionalService::Now());
    return mime::Serialise(GMIME_OBJECT(copy.get()));
}

void MailService::Send(EDict& r) {
    EDictPutLong(&r, keys_.success, 0);
    const std::string* account = AccountOf(r, "send");
    if (account == nullptr) return;
    const uint32_t handle = HandleOf(r, keys_.message);
    GMimeObject* message = objects_.Object(handle);
    if (message == nullptr || !GMIME_IS_MESSAGE(message)) return NotThere(r, handle, "send");
    const std::vector<std::string> recipients = mime::Recipients(GMIME_MESSAGE(message));
    if (recipients.empty()) {
        TraceNote(kPort, "send: " + Numbered("message", handle) + " has no recipient");
        return;
    }
    const std::string letter = mime::Serialise(message);
    if (resend_ != nullptr && resend_->SpooledBefore(*account, letter)) {
        TraceNote(kPort, "send: " + Numbered("message", handle) + " was spooled before a crash; it is not sent twice");
        EDictPutLong(&r, keys_.success, 1);
        return;
    }
    if (resend_ != nullptr) backend_->MarkNextSubmit(resend_->MarkOf(*account, letter));
    if (!backend_->Submit(*account, OutgoingText(message), recipients)) return;
    if (resend_ != nullptr) resend_->Spooled(*account, letter);
    backend_->Deliver();
    EDictPutLong(&r, keys_.success, 1);
}

void MailService::New(EDict& r) {
    if (EDictHasKey(&r, keys_.part)) {
        EDictPutHandle(&r, keys_.part, objects_.NewPart());
        return;
    }
    const char* data = EDictGetText(&r, keys_.data);
    EDictPutHandle(&r, keys_.message, data != nullptr ? objects_.NewMessage(data) : objects_.NewMessage());
}

void MailService::AddPart(EDict& r) {
    const uint32_t message = HandleOf(r, keys_.message);
    const uint32_t part = HandleOf(r, keys_.part);
    if (!objects_.AddPart(message, part)) {
        TraceNote(kPort, "add part: " + Numbered("part", part) + " cannot go into " + Numbered("object", message));
    }
}

// The module frees a fetched message whether or not storing it worked: while a file service
// watches, only a message whose text it stored is acknowledged; any other stays waiting (in
// flight until the next start, so a full disk does not make the get-mail chain spin on it).
bool MailService::StoredByModule(uint32_t handle) {
    const StoredMessages& stored = StoredMessages::Instance();
    if (!stored.Watching()) return true;
    const char* data = objects_.Text(handle, MailProperty::Data);
    return data != nullptr && stored.WasStored(data);
}

void MailService::Free(EDict& r) {
    const uint32_t handle = HandleOf(r, keys_.message);
    auto fetched = fetched_.find(handle);
    const bool stored = fetched == fetched_.end() || StoredByModule(handle);
    if (!objects_.Free(handle)) return NotThere(r, handle, "free");
    if (fetched == fetched_.end()) return;
    if (!stored) {
        ProblemNote(kPort, "a fetched message was not stored (is the disk full?); it stays waiting for the next start");
        fetched_.erase(fetched);
        return;
    }
    if (backend_ != nullptr && !backend_->Acknowledge(fetched->second)) {
        ProblemNote(kPort, "a fetched message could not be marked fetched; it will be handed out again");
    }
    fetched_.erase(fetched);
}

void MailService::NotThere(EDict& r, uint32_t handle, const char* request) {
    for (const auto& [key, type] : OtherKeys(r, {keys_.message, keys_.manager})) EDictRemove(&r, key);
    TraceNote(kPort, std::string(request) + ": " + Numbered("object", handle) + " is not there");
}

void MailService::Get(EDict& r) {
    const uint32_t handle = HandleOf(r, keys_.message);
    if (!objects_.Has(handle)) return NotThere(r, handle, "get");
    if (EDictHasKey(&r, keys_.index)) {
        EDictPutHandle(&r, keys_.part, objects_.Part(handle, EDictGetLong(&r, keys_.index)));
        return;
    }
    for (const auto& [key, type] : OtherKeys(r, {keys_.message})) AnswerProperty(r, handle, key);
}

void MailService::AnswerProperty(EDict& r, uint32_t handle, uint16_t key) {
    const std::optional<MailProperty> property = MailPropertyNamed(KnownName(key));
    if (!property) {
        EDictRemove(&r, key);
        TraceNote(kPort, "get: no property " + KnownName(key));
        return;
    }
    if (IsLongProperty(*property)) {
        EDictPutLong(&r, key, objects_.Long(handle, *property).value_or(0));
    } else {
        EDictPutText(&r, key, objects_.Text(handle, *property));
    }
}

void MailService::Set(EDict& r) {
    const uint32_t handle = HandleOf(r, keys_.message);
    if (!objects_.Has(handle)) return NotThere(r, handle, "set");
    for (const auto& [key, type] : OtherKeys(r, {keys_.message})) SetProperty(r, handle, key, type);
}

void MailService::SetProperty(EDict& r, uint32_t handle, uint16_t key, uint16_t type) {
    const std::optional<MailProperty> property = MailPropertyNamed(KnownName(key));
    bool done = false;
    if (property && type == EDictText) {
        const char* text = EDictGetText(&r, key);
        done = objects_.SetText(handle, *property, text != nullptr ? text : "");
    } else if (property && type == EDictLong) {
        done = objects_.SetLong(handle, *property, EDictGetLong(&r, key));
    }
    if (!done) TraceNote(kPort, "set: " + KnownName(key) + " cannot be set that way on " + Numbered("object", handle));
}

}  // namespace harbor
