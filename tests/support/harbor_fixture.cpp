#include "harbor_fixture.h"

#include <dlfcn.h>

#include "hxmsg.h"
#include "base/trace_log.h"

using harbor::Check;

HarborFixture::HarborFixture() {
    options_.module_path = WRENMAIL_MODULE_PATH;
    options_.content_dir = HARBOR_CONTENT_DIR;
    options_.headless = true;
}

void HarborFixture::CleanMessaging() {
    HxReset();
    HxSetRealClock(false);
}

void HarborFixture::SetUp() { CleanMessaging(); }

void HarborFixture::TearDown() {
    driver_.reset();
    session_.reset();
    tracer_.reset();
    harbor::TraceLog::Instance().SetSink(nullptr);
    CleanMessaging();
}

void HarborFixture::CaptureTrace(bool timers) {
    harbor::TraceLog::Instance().SetSink([this](std::string_view line) { trace_lines_.emplace_back(line); });
    tracer_ = std::make_unique<harbor::RecordTracer>(timers);
}

harbor::Session& HarborFixture::GetSession() {
    if (session_ == nullptr) {
        session_ = std::make_unique<harbor::Session>(options_);
        std::string error;
        if (!session_->LoadModule(error)) ADD_FAILURE() << error;
        driver_ = std::make_unique<harbor::Driver>(*session_);
    }
    return *session_;
}

harbor::Driver& HarborFixture::GetDriver() {
    GetSession();
    return *driver_;
}

bool HarborFixture::Done(const std::string& error) {
    if (error.empty()) return true;
    ADD_FAILURE() << error;
    return false;
}

::testing::AssertionResult HarborFixture::Result(const Check& check) {
    if (check.ok) return ::testing::AssertionSuccess() << check.found;
    return ::testing::AssertionFailure() << "expected " << check.expected << ", found " << check.found;
}


namespace harbor_test {

FakeModule::FakeModule() : handle_(dlopen(FAKE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL)) {
    if (handle_ == nullptr) ADD_FAILURE() << dlerror();
    Clear();
    ConfirmQuit(true);
}

FakeModule::~FakeModule() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* FakeModule::Symbol(const char* name) const { return dlsym(handle_, name); }

std::vector<uint16_t> FakeModule::TypesOn(uint16_t port) const {
    std::vector<uint16_t> types;
    for (int i = 0; i < Count(); ++i) {
        if (Port(i) == port) types.push_back(EDictGetType(&Call(i)));
    }
    return types;
}

void WriteFakeContent(const std::filesystem::path& content) {
    WriteFile(content / "scenes" / "ScCoCommon.json", R"({
  "scene": "ScCoCommon", "size": [640, 480], "background": {},
  "sprites": [
    { "name": "TxtCoDialog", "kind": "text", "rect": [190, 134, 260, 140], "z": 1, "visible": false, "text": "" }
  ]
})");
    WriteFile(content / "scenes" / "ScFkStart.json", R"({
  "scene": "ScFkStart", "eventPort": "FakePort", "size": [640, 480], "background": {},
  "sprites": [
    { "name": "BtnFkAsk", "kind": "button", "rect": [10, 10, 100, 40], "z": 20, "text": "Ask" },
    { "name": "BtnFkOk", "kind": "button", "rect": [10, 60, 100, 40], "z": 20, "text": "OK" },
    { "name": "BtnFkExit", "kind": "button", "rect": [10, 110, 100, 40], "z": 20, "text": "Exit" },
    { "name": "BtnFkHidden", "kind": "button", "rect": [10, 160, 100, 40], "z": 20, "visible": false },
    { "name": "EdtFkName", "kind": "edit", "rect": [200, 10, 200, 28], "z": 20, "edit": { "maxLength": 10 } },
    { "name": "TxtFkGreeting", "kind": "text", "rect": [200, 60, 200, 28], "z": 20, "visible": false, "text": "" },
    { "name": "DctFkColors", "kind": "datadict", "data": { "COLOR": "blue" } }
  ]
})");
}

}  // namespace harbor_test
