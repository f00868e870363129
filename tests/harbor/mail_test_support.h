// Shared by the mail service tests: a scratch data root, and the module's requests to MailPort
// and RASPort as plain functions.
#ifndef WRENMAIL_TESTS_HARBOR_MAIL_TEST_SUPPORT_H
#define WRENMAIL_TESTS_HARBOR_MAIL_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "harbor_test_support.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "mail/mail_service.h"
#include "base/atoms.h"

namespace mailtest {

using harbor_test::A;
using harbor_test::Record;

inline EDict SendMail(EDict r) {
    HxPortSend(A("MailPort"), &r);
    return r;
}

inline uint32_t Handle(const EDict& r, const char* key) { return static_cast<uint32_t>(EDictGetLong(&r, A(key))); }

inline uint32_t NewMessage(const char* data = nullptr) {
    EDict r = Record(code::kCreate);
    EDictPutHandle(&r, A("Message"), 0);
    if (data != nullptr) EDictPutText(&r, A("Data"), data);
    return Handle(SendMail(r), "Message");
}

inline uint32_t NewPart() {
    EDict r = Record(code::kCreate);
    EDictPutHandle(&r, A("Part"), 0);
    return Handle(SendMail(r), "Part");
}

inline void AddPart(uint32_t message, uint32_t part) {
    EDict r = Record(code::kAddPart);
    EDictPutHandle(&r, A("Message"), message);
    EDictPutHandle(&r, A("Part"), part);
    SendMail(r);
}

inline void Free(uint32_t object) {
    EDict r = Record(code::kDelete);
    EDictPutHandle(&r, A("Message"), object);
    SendMail(r);
}

// The text as answered; nothing when the answer has no such key or a null text.
inline std::optional<std::string> GetText(uint32_t object, const char* key) {
    EDict r = Record(code::kGet);
    EDictPutHandle(&r, A("Message"), object);
    EDictPutText(&r, A(key), nullptr);
    r = SendMail(r);
    const char* text = EDictGetText(&r, A(key));
    if (text == nullptr) return std::nullopt;
    return std::string(text);
}

inline const char* GetRawText(uint32_t object, const char* key) {
    EDict r = Record(code::kGet);
    EDictPutHandle(&r, A("Message"), object);
    EDictPutText(&r, A(key), nullptr);
    r = SendMail(r);
    return EDictGetText(&r, A(key));
}

inline std::optional<int32_t> GetLong(uint32_t object, const char* key) {
    EDict r = Record(code::kGet);
    EDictPutHandle(&r, A("Message"), object);
    EDictPutLong(&r, A(key), 0);
    r = SendMail(r);
    if (!EDictHasKey(&r, A(key))) return std::nullopt;
    return EDictGetLong(&r, A(key));
}

inline void SetText(uint32_t object, const char* key, const char* text) {
    EDict r = Record(code::kSet);
    EDictPutHandle(&r, A("Message"), object);
    EDictPutText(&r, A(key), text);
    SendMail(r);
}

inline void SetLong(uint32_t object, const char* key, int32_t value) {
    EDict r = Record(code::kSet);
    EDictPutHandle(&r, A("Message"), object);
    EDictPutLong(&r, A(key), value);
    SendMail(r);
}

inline uint32_t GetPart(uint32_t message, int32_t index) {
    EDict r = Record(code::kGet);
    EDictPutHandle(&r, A("Message"), message);
    EDictPutLong(&r, A("Index"), index);
    EDictPutHandle(&r, A("Part"), 0);
    return Handle(SendMail(r), "Part");
}

struct SignInAnswer {
    uint32_t manager = 0;
    std::optional<int32_t> status;
    std::optional<int32_t> success;
};

inline SignInAnswer SignIn(const char* user, const char* password) {
    EDict r = Record(code::kOpen);
    EDictPutHandle(&r, A("Manager"), 0);
    EDictPutText(&r, A("Username"), user);
    EDictPutText(&r, A("Password"), password);
    r = SendMail(r);
    SignInAnswer answer;
    answer.manager = Handle(r, "Manager");
    if (EDictHasKey(&r, A("Status"))) answer.status = EDictGetLong(&r, A("Status"));
    if (EDictHasKey(&r, A("Success"))) answer.success = EDictGetLong(&r, A("Success"));
    return answer;
}

inline void SignOut(uint32_t manager) {
    EDict r = Record(code::kClose);
    EDictPutHandle(&r, A("Manager"), manager);
    SendMail(r);
}

inline bool Send(uint32_t manager, uint32_t message) {
    EDict r = Record(code::kSendMessage);
    EDictPutHandle(&r, A("Manager"), manager);
    EDictPutHandle(&r, A("Message"), message);
    r = SendMail(r);
    return EDictGetLong(&r, A("Success")) > 0;
}

inline uint32_t Next(uint32_t manager) {
    EDict r = Record(code::kFetchNext);
    EDictPutHandle(&r, A("Manager"), manager);
    return Handle(SendMail(r), "Message");
}

// A message as the write screen makes it: To, From, Subject, Date, Body, then two parts.
inline uint32_t WrittenMessage(const char* to, const char* from, const char* subject, const char* body) {
    const uint32_t m = NewMessage();
    SetText(m, "To", to);
    SetText(m, "From", from);
    SetText(m, "Subject", subject);
    SetLong(m, "Date", 1700000000);
    SetText(m, "Body", body);
    const uint32_t plain = NewPart();
    SetText(plain, "ContentType", "text/plain");
    SetText(plain, "Body", body);
    const uint32_t rich = NewPart();
    SetText(rich, "ContentType", "text/wrenmail");
    SetText(rich, "Body", (std::string("<rich>") + body).c_str());
    AddPart(m, plain);
    AddPart(m, rich);
    return m;
}

using ScratchDir = harbor_test::TempDir;

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

    ScratchDir scratch_;
    std::unique_ptr<harbor::MailService> service_;
};

}  // namespace mailtest

#endif
