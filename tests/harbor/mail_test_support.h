// Shared by the mail service tests: a scratch data root with the mail service on it, and the
// module's requests to MailPort as plain functions.
#ifndef WRENMAIL_TESTS_HARBOR_MAIL_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_MAIL_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "clients/mail_requests.h"
#include "fileio/dict_file_format.h"
#include "harbor_test_support.h"
#include "hxmsg.h"
#include "mail/mail_service.h"
#include "message_codes.h"

namespace mailtest {

using harbor_test::A;
using harbor_test::Record;
using harbor_test::TempDir;

// A request of `type` on one object; `key` names its handle (Message, Part or Manager).
inline EDict On(uint16_t type, uint32_t object, const char* key = "Message") {
    EDict r = Record(type);
    EDictPutHandle(&r, A(key), object);
    return r;
}

inline EDict SendMail(EDict r) {
    HxPortSend(A("MailPort"), &r);
    return r;
}

inline uint32_t Handle(const EDict& r, const char* key) { return static_cast<uint32_t>(EDictGetLong(&r, A(key))); }

// The module's own mail client makes the requests (the objects' keys are named here).
inline uint32_t NewMessage(const char* data = nullptr) { return wm::MailNewMessage(data); }
inline uint32_t NewPart() { return wm::MailNewPart(); }
inline void AddPart(uint32_t message, uint32_t part) { wm::MailAddPart(message, part); }
inline void Free(uint32_t object) { wm::MailFree(object); }
inline uint32_t GetPart(uint32_t message, int32_t index) { return wm::MailGetPart(message, index); }
inline void SetText(uint32_t object, const char* key, const char* text) { wm::MailSetText(object, A(key), text); }
inline void SetLong(uint32_t object, const char* key, int32_t value) { wm::MailSetLong(object, A(key), value); }
// The characters the service answered (it keeps them): null for no such key or a null text.
inline const char* GetRawText(uint32_t object, const char* key) { return wm::MailGetText(object, A(key)); }

inline std::optional<std::string> GetText(uint32_t object, const char* key) {
    const char* text = GetRawText(object, key);
    return text != nullptr ? std::optional<std::string>(text) : std::nullopt;
}

// Whether the answer holds the key at all, which the module's client does not say.
inline std::optional<int32_t> GetLong(uint32_t object, const char* key) {
    EDict r = On(code::kGet, object);
    EDictPutLong(&r, A(key), 0);
    r = SendMail(r);
    if (!EDictHasKey(&r, A(key))) return std::nullopt;
    return EDictGetLong(&r, A(key));
}

// The sign-in answer with the keys it leaves out, which the module's client reads as 0.
struct SignInAnswer {
    uint32_t manager = 0;
    std::optional<int32_t> status;
    std::optional<int32_t> success;
};

inline SignInAnswer SignIn(const char* user, const char* password) {
    EDict r = On(code::kOpen, 0, "Manager");
    EDictPutText(&r, A("Username"), user);
    EDictPutText(&r, A("Password"), password);
    r = SendMail(r);
    SignInAnswer answer{Handle(r, "Manager"), std::nullopt, std::nullopt};
    if (EDictHasKey(&r, A("Status"))) answer.status = EDictGetLong(&r, A("Status"));
    if (EDictHasKey(&r, A("Success"))) answer.success = EDictGetLong(&r, A("Success"));
    return answer;
}

inline void SignOut(uint32_t manager) { wm::MailSignOut(manager); }
inline bool Send(uint32_t manager, uint32_t message) { return wm::MailSendMessage(manager, message); }
inline uint32_t Next(uint32_t manager) { return wm::MailNextMessage(manager); }

// The Subject of every message waiting for the account, each freed (stored) unless told not to.
inline std::vector<std::string> FetchSubjects(uint32_t manager, bool free = true) {
    std::vector<std::string> subjects;
    while (const uint32_t m = Next(manager)) {
        subjects.push_back(GetText(m, "Subject").value_or("?"));
        if (free) Free(m);
    }
    return subjects;
}

// A message as the write screen makes it: To, From, Subject, Date, Body, then two parts.
inline uint32_t WrittenMessage(const char* to, const char* from, const char* subject, const char* body) {
    const uint32_t m = NewMessage();
    SetText(m, "To", to);
    SetText(m, "From", from);
    SetText(m, "Subject", subject);
    SetLong(m, "Date", 1700000000);
    SetText(m, "Body", body);
    const std::string rich = std::string("<rich>") + body;
    for (auto [type, text] : {std::pair{"text/plain", body}, {"text/wrenmail", rich.c_str()}}) {
        const uint32_t part = NewPart();
        SetText(part, "ContentType", type);
        SetText(part, "Body", text);
        AddPart(m, part);
    }
    return m;
}

// The "Message" text of a stored message file; empty when it has none.
inline std::string StoredMessage(const std::filesystem::path& file) {
    const std::string bytes = harbor_test::ReadFile(file);
    std::vector<harbor::DictFileEntry> entries;
    if (!harbor::DecodeDictFile(bytes, entries)) return {};
    for (const harbor::DictFileEntry& e : entries) {
        if (e.key == "Message") return std::string(e.text);
    }
    return {};
}

// Messaging state is process-wide: each test starts from a clean one. The mail service, once a
// test starts one, ends before it.
class MailFixture : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        HxSetRealClock(false);
    }
    void TearDown() override {
        service_.reset();
        HxReset();
    }

    harbor::MailServiceOptions Options() const {
        harbor::MailServiceOptions options;
        options.data_root = scratch_.Path();
        options.password_cost = harbor::PasswordCost::Fast();
        options.durable = false;
        return options;
    }

    // Ends the service as a crash or a stop would (nothing freed) and starts a new one.
    void Restart(harbor::MailServiceOptions options) {
        service_.reset();
        service_ = std::make_unique<harbor::MailService>(std::move(options));
    }
    void Restart() { Restart(Options()); }
    harbor::PostOffice& Office() { return *service_->Office(); }
    // The manager of an account whose sign-in must succeed.
    static uint32_t SignedIn(const char* user, const char* password) {
        const SignInAnswer answer = SignIn(user, password);
        EXPECT_NE(answer.manager, 0u) << user;
        return answer.manager;
    }

    TempDir scratch_;
    std::unique_ptr<harbor::MailService> service_;
};

}  // namespace mailtest

#endif
