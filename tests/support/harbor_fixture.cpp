#include "harbor_fixture.h"

#include "hxmsg.h"
#include "base/trace_log.h"

using harbor::Check;

HarborFixture::HarborFixture() {
    options_.module_path = WRENMAIL_MODULE_PATH;
    options_.content_dir = HARBOR_CONTENT_DIR;
    options_.headless = true;
}

HarborFixture::~HarborFixture() = default;

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

bool HarborFixture::Start(const harbor::Identity& identity) { return Done(GetDriver().Start(identity)); }
bool HarborFixture::Click(const std::string& sprite) { return Done(GetDriver().Click(sprite)); }
bool HarborFixture::Press(const std::string& sprite) { return Done(GetDriver().Press(sprite)); }
bool HarborFixture::Release(const std::string& sprite) { return Done(GetDriver().Release(sprite)); }
bool HarborFixture::Type(const std::string& field, const std::string& text) {
    return Done(GetDriver().Type(field, text));
}
bool HarborFixture::Key(const std::string& name) { return Done(GetDriver().Key(name)); }
bool HarborFixture::Keys(const std::string& text) { return Done(GetDriver().Keys(text)); }
void HarborFixture::Wait(uint32_t ms) { Done(GetDriver().Wait(ms)); }
void HarborFixture::Quit() { Done(GetDriver().Quit()); }
void HarborFixture::Stop() { Done(GetDriver().Stop()); }

::testing::AssertionResult HarborFixture::Result(const Check& check) {
    if (check.ok) return ::testing::AssertionSuccess() << check.found;
    return ::testing::AssertionFailure() << "expected " << check.expected << ", found " << check.found;
}

::testing::AssertionResult HarborFixture::Visible(const std::string& sprite) {
    return Result(GetDriver().Visible(sprite, true));
}
::testing::AssertionResult HarborFixture::Hidden(const std::string& sprite) {
    return Result(GetDriver().Visible(sprite, false));
}
::testing::AssertionResult HarborFixture::TextIs(const std::string& sprite, const std::string& text) {
    return Result(GetDriver().Text(sprite, text));
}
::testing::AssertionResult HarborFixture::SceneIs(const std::string& scene) { return Result(GetDriver().Scene(scene)); }
::testing::AssertionResult HarborFixture::DialogShows(const std::string& text) {
    return Result(GetDriver().Dialog(text));
}
::testing::AssertionResult HarborFixture::NoDialog() { return Result(GetDriver().Dialog(std::nullopt)); }
::testing::AssertionResult HarborFixture::HasEnded() { return Result(GetDriver().Ended()); }
::testing::AssertionResult HarborFixture::Drawn(const std::string& sprite, const std::string& text) {
    return Result(GetDriver().Drawn(sprite, text));
}
