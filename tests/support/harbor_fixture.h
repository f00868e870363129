// Drives a Harbor session (the built libwrenmail.so on content/, unless Options() says otherwise
// before the first Start or GetSession) from GoogleTest with the operations of driver scripts:
//   Start();  Type("EdtCsName", "ann");  Key("Enter");  Wait(100);  EXPECT_TRUE(SceneIs("ScWnMain"));
// Actions report a failure of their own (ADD_FAILURE) and return false when they could not be
// carried out; checks return an AssertionResult that says what was found.
#ifndef WRENMAIL_TESTS_SUPPORT_HARBOR_FIXTURE_H
#define WRENMAIL_TESTS_SUPPORT_HARBOR_FIXTURE_H

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "harbor_test_support.h"
#include "runtime/record_tracer.h"
#include "runtime/session.h"

class HarborFixture : public ::testing::Test {
protected:
    HarborFixture();

    void SetUp() override;
    void TearDown() override;

    // Where the session comes from; change before the session exists.
    harbor::SessionOptions& Options() { return options_; }
    // Collects trace lines from now on (timer ticks only when asked).
    void CaptureTrace(bool timers = false);
    const std::vector<std::string>& TraceLines() const { return trace_lines_; }

    // Creates the session and loads the module on first use.
    harbor::Session& GetSession();
    harbor::Driver& GetDriver();

    bool Start(const harbor::Identity& identity = {}) { return Done(GetDriver().Start(identity)); }
    bool Click(const std::string& sprite) { return Done(GetDriver().Click(sprite)); }
    bool Type(const std::string& field, const std::string& text) { return Done(GetDriver().Type(field, text)); }
    bool Key(const std::string& name) { return Done(GetDriver().Key(name)); }
    bool Keys(const std::string& text) { return Done(GetDriver().Keys(text)); }  // to whatever has the keyboard
    void Wait(uint32_t ms) { Done(GetDriver().Wait(ms)); }
    void Quit() { Done(GetDriver().Quit()); }
    void Stop() { Done(GetDriver().Stop()); }

    ::testing::AssertionResult Visible(const std::string& sprite) { return Result(GetDriver().Visible(sprite, true)); }
    ::testing::AssertionResult TextIs(const std::string& sprite, const std::string& text) {
        return Result(GetDriver().Text(sprite, text));
    }
    ::testing::AssertionResult SceneIs(const std::string& scene) { return Result(GetDriver().Scene(scene)); }
    ::testing::AssertionResult DialogShows(const std::string& text) { return Result(GetDriver().Dialog(text)); }
    ::testing::AssertionResult NoDialog() { return Result(GetDriver().Dialog(std::nullopt)); }
    ::testing::AssertionResult HasEnded() { return Result(GetDriver().Ended()); }
    // The texts drawn on the sprite's picture contain `text` (Driver::Drawn).
    ::testing::AssertionResult Drawn(const std::string& sprite, const std::string& text) {
        return Result(GetDriver().Drawn(sprite, text));
    }

private:
    bool Done(const std::string& error);
    static ::testing::AssertionResult Result(const harbor::Check& check);
    // Messaging state is process-wide: every test starts and ends with a clean one.
    static void CleanMessaging();

    harbor::SessionOptions options_;
    std::vector<std::string> trace_lines_;
    std::unique_ptr<harbor::RecordTracer> tracer_;
    std::unique_ptr<harbor::Session> session_;
    std::unique_ptr<harbor::Driver> driver_;
};

namespace harbor_test {

// The test's own handle on the stand-in module (tests/harbor/fake_module.cpp): it keeps the
// library loaded after Harbor unloads it, so its records can still be read.
class FakeModule {
public:
    FakeModule();
    ~FakeModule();
    FakeModule(const FakeModule&) = delete;
    FakeModule& operator=(const FakeModule&) = delete;

    int Count() const { return Get<int (*)()>("FakeModule_CallCount")(); }
    const EDict& Call(int i) const { return *Get<const EDict* (*)(int)>("FakeModule_Call")(i); }
    uint16_t Port(int i) const { return Get<uint16_t (*)(int)>("FakeModule_CallPort")(i); }
    int Ticks() const { return Get<int (*)()>("FakeModule_Ticks")(); }
    void Clear() const { Get<void (*)()>("FakeModule_Clear")(); }
    void ConfirmQuit(bool confirm) const { Get<void (*)(bool)>("FakeModule_ConfirmQuit")(confirm); }
    // The types of the records that reached the module on `port`, in order.
    std::vector<uint16_t> TypesOn(uint16_t port) const;

private:
    template <class F>
    F Get(const char* name) const {
        return reinterpret_cast<F>(Symbol(name));
    }
    void* Symbol(const char* name) const;

    void* handle_;
};

// The stand-in module's scene ScFkStart (events to FakePort) and a common scene with the dialog.
void WriteFakeContent(const std::filesystem::path& content);

}  // namespace harbor_test

#endif
