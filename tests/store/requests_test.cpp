#include <functional>

#include "app/lifecycle.h"
#include "clients/regional_requests.h"
#include "store_fixture.h"
#include "clients/mail_requests.h"
#include "wrenmail.h"

namespace {

using RequestsTest = StoreTest;
using Keys = std::vector<std::pair<uint16_t, uint16_t>>;

struct Case {
    const char* what;
    std::function<void()> call;
    uint16_t port;
    uint16_t type;
    Keys keys;
};

TEST_F(RequestsTest, EveryRequestSendsItsKeysInOrderWithTheirKinds) {
    using namespace atoms::files;
    using atoms::mail::Message;
    char date[32];
    wm::DictObject dict;
    const uint16_t fio = FileIOPort, mail = atoms::mail::MailPort, regional = atoms::RegionalPort;
    const Case cases[] = {
        {"open", [] { wm::FileOpenHandle(); }, fio, 30062, {}},
        {"close", [] { wm::FileCloseHandle(99); }, fio, 30003, {{HANDLE, EDictHandle}}},
        {"parent", [] { wm::FileChangeDirectory(99, "..", false); }, fio, 30052,
         {{HANDLE, EDictHandle}, {CHANGE, EDictLong}, {PARENT, EDictLong}}},
        {"down", [] { wm::FileChangeDirectory(99, "InBox", false); }, fio, 30052,
         {{HANDLE, EDictHandle}, {CHANGE, EDictLong}, {DIRECTORY, EDictText}}},
        {"root", [] { wm::FileChangeDirectory(99, nullptr, true); }, fio, 30052,
         {{HANDLE, EDictHandle}, {CHANGE, EDictLong}, {ROOT, EDictLong}}},
        {"name and root", [] { wm::FileChangeDirectory(99, "InBox", true); }, fio, 30052,
         {{HANDLE, EDictHandle}, {CHANGE, EDictLong}, {DIRECTORY, EDictText}, {ROOT, EDictLong}}},
        {"mkdir", [] { wm::FileCreateDirectory(99, "InBox"); }, fio, 30052,
         {{HANDLE, EDictHandle}, {CREATE, EDictLong}, {DIRECTORY, EDictText}}},
        {"create dict", [] { wm::FileCreateDict(99, "a.wnl"); }, fio, 30073,
         {{HANDLE, EDictHandle}, {FILENAME, EDictText}, {DICT, EDictHandle}, {CREATE, EDictLong}}},
        {"write dict", [&] { wm::FileWriteDict(99, "a.wnl", &dict); }, fio, 30073,
         {{HANDLE, EDictHandle}, {FILENAME, EDictText}, {DICT, EDictHandle}}},
        {"read dict", [] { wm::FileReadDict(99, "a.wnl"); }, fio, 30013,
         {{HANDLE, EDictHandle}, {FILENAME, EDictText}}},
        {"delete", [] { wm::FileDelete(99, "a.wnl"); }, fio, 30004, {{HANDLE, EDictHandle}, {FILENAME, EDictText}}},
        {"list", [] { wm::FileList(99); }, fio, 30049, {{HANDLE, EDictHandle}}},
        {"now", [] { wm::RegionalNow(); }, regional, 30011, {{DATE, EDictLong}}},
        {"long date", [&] { wm::RegionalFormatDate(7, date, 32, false); }, regional, 30049,
         {{DATE, EDictLong}, {STRING, EDictHandle}, {SIZE, EDictLong}}},
        {"short date", [&] { wm::RegionalFormatDate(7, date, 32, true); }, regional, 30049,
         {{DATE, EDictLong}, {STRING, EDictHandle}, {SIZE, EDictLong}, {SHORTDATE, EDictLong}}},
        {"empty message", [] { wm::MailNewMessage(nullptr); }, mail, 30080, {{Message, EDictHandle}}},
        {"stored message", [] { wm::MailNewMessage("text"); }, mail, 30080,
         {{Message, EDictHandle}, {atoms::mail::Data, EDictText}}},
        {"free", [] { wm::MailFree(501); }, mail, 30004, {{Message, EDictHandle}}},
        {"get text", [] { wm::MailGetText(501, atoms::mail::From); }, mail, 30011,
         {{Message, EDictHandle}, {atoms::mail::From, EDictText}}},
        {"get long", [] { wm::MailGetLong(501, atoms::mail::Date); }, mail, 30011,
         {{Message, EDictHandle}, {atoms::mail::Date, EDictLong}}},
        {"set text", [] { wm::MailSetText(501, atoms::mail::Subject, "Hi"); }, mail, 30052,
         {{Message, EDictHandle}, {atoms::mail::Subject, EDictText}}},
        {"set long", [] { wm::MailSetLong(501, atoms::mail::Date, 9); }, mail, 30052,
         {{Message, EDictHandle}, {atoms::mail::Date, EDictLong}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RequestLog log;
        c.call();
        ASSERT_EQ(log.requests.size(), 1u);
        EXPECT_EQ(log.requests[0].port, c.port);
        EXPECT_EQ(EDictGetType(&log.requests[0].record), c.type);
        EXPECT_EQ(KeysOf(log.requests[0].record), c.keys);
    }
}

TEST_F(RequestsTest, RequestsCarryTheirValues) {
    RequestLog log;
    char buffer[40];
    wm::FileChangeDirectory(99, "InBox", true);
    wm::RegionalFormatDate(12345, buffer, 40, true);
    const EDict& change = log.requests[0].record;
    EXPECT_EQ(EDictGetLong(&change, atoms::files::HANDLE), 99);
    EXPECT_EQ(EDictGetLong(&change, atoms::files::CHANGE) + EDictGetLong(&change, atoms::files::ROOT), 2);
    EXPECT_STREQ(EDictGetText(&change, atoms::files::DIRECTORY), "InBox");
    const EDict& format = log.requests[1].record;
    EXPECT_EQ(EDictGetLong(&format, atoms::files::DATE), 12345);
    EXPECT_EQ(EDictGetPointer(&format, atoms::files::STRING), buffer);
    EXPECT_EQ(EDictGetLong(&format, atoms::files::SIZE), 40);
}

TEST_F(RequestsTest, HandleZeroSendsNothing) {
    RequestLog log;
    wm::DictObject dict;
    wm::FileCloseHandle(0);
    wm::FileChangeDirectory(0, "InBox", true);
    wm::FileCreateDirectory(0, "InBox");
    wm::FileCreateDict(0, "a.wnl");
    wm::FileWriteDict(0, "a.wnl", &dict);
    EXPECT_EQ(wm::FileReadDict(0, "a.wnl"), nullptr);
    wm::FileDelete(0, "a.wnl");
    EXPECT_EQ(wm::FileList(0), nullptr);
    EXPECT_TRUE(log.requests.empty());
}

bool HXCALL AnswerWithoutSuccess(EDict* record) {
    static wm::DictObject stray;
    EDictPutLong(record, atoms::STATUS, 0);
    EDictPutHandle(record, atoms::files::HANDLE, 5);
    EDictPutPointer(record, atoms::files::FioQuery, &stray);
    return true;
}

TEST_F(RequestsTest, OpenAndListAnswerOnlyOnSuccess) {
    EXPECT_NE(wm::FileList(Handle()), nullptr);
    HxReset();
    HxPortAttach(atoms::files::FileIOPort, &AnswerWithoutSuccess);
    EXPECT_EQ(wm::FileOpenHandle(), 0u);
    EXPECT_EQ(wm::FileList(Handle()), nullptr);
}

TEST_F(RequestsTest, ModuleStartOpensTheFileServiceAndStopClosesIt) {
    wm::Services() = wm::ServiceHandles{};
    RequestLog log;
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kEntered);
    PM_Main(&record);
    const uint32_t handle = wm::Services().fileService;
    EXPECT_NE(handle, 0u);
    ASSERT_NE(wm::Services().headerList, nullptr);
    EXPECT_EQ(wm::Services().headerList->Size(), 0u);
    EDictSetType(&record, code::kLeft);
    PM_Main(&record);
    EXPECT_EQ(wm::Services().headerList, nullptr);
    EXPECT_EQ(wm::Services().fileService, 0u);
    ASSERT_EQ(log.Count(atoms::files::FileIOPort, code::kClose), 1u);
    EXPECT_EQ(static_cast<uint32_t>(EDictGetLong(&log.requests.back().record, atoms::files::HANDLE)), handle);

    files_.failOpen = true;
    EDictSetType(&record, code::kEntered);
    PM_Main(&record);
    EXPECT_EQ(wm::Services().fileService, 0u);
    EDictSetType(&record, code::kLeft);
    PM_Main(&record);
    EXPECT_EQ(log.Count(atoms::files::FileIOPort, code::kClose), 1u);  // handle 0: no close
}

}  // namespace
