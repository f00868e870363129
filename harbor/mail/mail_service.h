// MailPort: the mail service. Message and part objects (mime_objects.h) and the embedded post
// office (post_office.h) behind the module's requests:
//
//   30062 sign in      Manager 0, Username, Password  -> Manager, Status, Success
//   30003 sign out     Manager
//   30090 next         Manager                        -> Message (0: no more)
//   30091 send         Manager, Message               -> Success (1 once spooled on disk)
//   30080 new          Message 0 [, Data] or Part 0   -> Message or Part
//   30001 add part     Message, Part
//   30004 free         Message (a message or a part)
//   30011 get          Message, then property keys    -> the properties
//                      Message, Index, Part 0         -> Part
//   30052 set          Message, then property keys
//
// Sign-in answers Status 235 and Success 1 with a new manager for a right password, Status 535,
// Success 1 and Manager 0 for a wrong password or an unknown kite ID, and neither Status nor
// Success when the service cannot be reached (no data root, or `reachable` false). A request
// about an object that is not there (never made, or freed) answers no property keys and leaves a
// note in the trace.
//
// A fetched message counts as delivered only when the module frees it after storing it (with a
// file service attached, only when that service stored its text: stored_messages.h): until then
// it stays in the account's waiting mail and is handed out again by the next service. Sign-in
// answers as unreachable, with a "the disk is full" problem note, when the free space under the
// data root is below twice the account's waiting mail plus kDiskMargin.
#ifndef HARBOR_MAIL_MAIL_SERVICE_H
#define HARBOR_MAIL_MAIL_SERVICE_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "edict.h"
#include "mail/mail_backend.h"
#include "mail/mime_objects.h"
#include "mail/post_office.h"
#include "mail/resend_guard.h"

namespace harbor {

struct MailServiceOptions {
    std::filesystem::path data_root;  // empty: no post office, sign-in cannot reach the service
    std::string domain;  // empty: kDefaultMailDomain
    bool reachable = true;  // false plays a mail server that cannot be reached
    PasswordCost password_cost = PasswordCost::Standard();
    bool durable = true;
    // Free bytes under the data root; empty: asked of the file system (tests play a full disk).
    std::function<uint64_t()> free_bytes;
    // Harbor's own word to the user when mail cannot move (the window shows it); the same text
    // goes to the problem notes either way.
    std::function<void(const std::string&)> notice;
};

inline constexpr const char* kDiskFullNotice = "The disk is full: no mail is sent or fetched until there is room.";

// Room kept free beyond what the waiting mail needs before mail moves.
inline constexpr uint64_t kDiskMargin = uint64_t{1} << 20;

inline constexpr int32_t kSignInAccepted = 235;
inline constexpr int32_t kSignInRefused = 535;

class MailService {
public:
    // Attaches to MailPort and delivers what a previous run left in the spool.
    explicit MailService(MailServiceOptions options);
    ~MailService();
    MailService(const MailService&) = delete;
    MailService& operator=(const MailService&) = delete;

    // Answers one record as the port would; false when it is no mail-service request.
    bool HandleRecord(EDict& record);

    MimeObjectTable& Objects() { return objects_; }
    PostOffice* Office() { return office_.get(); }  // null without a data root
    // Lets the back end's network work in flight finish (headless runs, before the clock moves).
    void FinishInFlight() {
        if (backend_) backend_->FinishInFlight();
    }

private:
    struct Keys {
        uint16_t port, manager, username, password, status, success, message, data, part, index;
    };

    static bool OnPort(EDict* record);

    void SignIn(EDict& r);
    void SignOut(EDict& r);
    void Next(EDict& r);
    void Send(EDict& r);
    void New(EDict& r);
    void AddPart(EDict& r);
    void Free(EDict& r);
    void Get(EDict& r);
    void Set(EDict& r);

    bool Reachable() const { return options_.reachable && backend_ != nullptr && backend_->Reachable(); }
    // The account of a manager handle, or null (with a note) when it is not there.
    const std::string* AccountOf(const EDict& r, const char* request);
    // The message text as it goes into the spool: with a Date and a Message-ID.
    std::string OutgoingText(GMimeObject* message) const;
    void AnswerProperty(EDict& r, uint32_t handle, uint16_t key);
    void SetProperty(EDict& r, uint32_t handle, uint16_t key, uint16_t type);
    void NotThere(EDict& r, uint32_t handle, const char* request);
    bool StoredByModule(uint32_t handle);
    uint64_t FreeBytes() const;
    bool DiskCanTake(const std::string& account);

    static MailService* live_;  // HxHandler carries no context: one live service
    MailServiceOptions options_;
    Keys keys_;
    MimeObjectTable objects_;
    std::unique_ptr<PostOffice> office_;
    std::unique_ptr<MailBackend> backend_;  // the post office, or the data root's mail server
    std::unique_ptr<ResendGuard> resend_;   // letters sent again after a crash (null without a data root)
    std::map<uint32_t, std::string> managers_;  // manager handle -> account
    uint32_t next_manager_ = 1;
    std::map<uint32_t, WaitingMail> fetched_;   // message handle -> its waiting mail
};

}  // namespace harbor

#endif
