// Sessions driven through the fixture, through scripts, and through the harbor program, with the
// stand-in module and a content folder written here.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/wait.h>

#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"

using harbor::Identity;
using harbor_test::A;

namespace {

class DriverSessionTest : public HarborFixture {
protected:
    DriverSessionTest() {
        harbor_test::WriteFakeContent(content_.Path());
        Options().module_path = FAKE_MODULE_PATH;
        Options().content_dir = content_.Path();
    }

    harbor::ScriptOutcome RunText(const std::string& text) {
        harbor::ScriptParseResult parsed = harbor::ParseScript(text, "t.harbor");
        EXPECT_TRUE(parsed) << (parsed.errors.empty() ? "" : parsed.errors.front());
        return harbor::RunScript(parsed.script, GetDriver());
    }

    harbor_test::TempDir content_;
    harbor_test::FakeModule fake_;
};

TEST_F(DriverSessionTest, InputReachesTheModuleAndItsAnswersShow) {
    ASSERT_TRUE(Start(Identity{"ann", std::nullopt, std::nullopt}));
    EXPECT_TRUE(SceneIs("ScFkStart"));
    EXPECT_TRUE(NoDialog());
    ASSERT_TRUE(Click("BtnFkAsk"));
    EXPECT_TRUE(DialogShows("Are you there?"));
    EXPECT_FALSE(DialogShows("Are you here?"));
    ASSERT_TRUE(Type("EdtFkName", "Bo"));
    EXPECT_TRUE(TextIs("EdtFkName", "Bo"));
    ASSERT_TRUE(Key("Enter"));
    EXPECT_TRUE(Visible("TxtFkGreeting"));
    EXPECT_TRUE(TextIs("TxtFkGreeting", "Hello, Bo"));
    // The scene's events went to its event port: entered, the click's cursor and click records.
    const std::vector<uint16_t> events = fake_.TypesOn(A("FakePort"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), 30032);
    EXPECT_NE(std::find(events.begin(), events.end(), 30035), events.end());
}

TEST_F(DriverSessionTest, ChecksSayWhatWasFound) {
    ASSERT_TRUE(Start());
    ::testing::AssertionResult hidden = Visible("TxtFkGreeting");
    EXPECT_FALSE(hidden);
    EXPECT_STREQ(hidden.message(), "expected visible TxtFkGreeting, found hidden TxtFkGreeting");
    ::testing::AssertionResult absent = TextIs("TxtNothing", "x");
    EXPECT_STREQ(absent.message(), "expected text TxtNothing \"x\", found no sprite TxtNothing in ScFkStart");
    EXPECT_STREQ(SceneIs("ScCsSignIn").message(), "expected scene ScCsSignIn, found scene ScFkStart");
    ASSERT_TRUE(Click("BtnFkAsk"));
    EXPECT_STREQ(NoDialog().message(), "expected no dialog, found dialog \"Are you there?\"");
}

TEST_F(DriverSessionTest, InputThatCannotHappenIsAnErrorNotACrash) {
    harbor::Driver& driver = GetDriver();
    EXPECT_EQ(driver.Click("BtnFkAsk"), "click BtnFkAsk: the module is not started");
    ASSERT_TRUE(Start());
    EXPECT_EQ(driver.Click("BtnFkHidden"), "click: BtnFkHidden is hidden");
    EXPECT_EQ(driver.Click("BtnNowhere"), "click: scene ScFkStart has no sprite BtnNowhere");
    EXPECT_EQ(driver.Type("BtnFkAsk", "x"), "type: BtnFkAsk is not an edit field");
    EXPECT_EQ(driver.Key("Hyper"), "key: unknown key Hyper");
}

TEST_F(DriverSessionTest, ScriptsStopAtTheFirstFailureAndNameItsLine) {
    harbor::ScriptOutcome ok = RunText("start\nclick BtnFkAsk\nexpect dialog \"Are you there?\"\n");
    EXPECT_TRUE(ok.ok) << ok.failure;
    EXPECT_EQ(ok.commands_run, 3);

    harbor::ScriptOutcome bad = RunText("click BtnFkOk\n\nexpect dialog \"Gone\"\nclick BtnFkAsk\n");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.failed_line, 3);
    EXPECT_EQ(bad.commands_run, 2);
    EXPECT_EQ(bad.failure, "t.harbor:3: expect dialog \"Gone\": expected dialog \"Gone\", found no dialog");
}

// What the picture holds is checked by the painter's and the canvas sprites' own snapshot tests.
TEST_F(DriverSessionTest, ASnapshotThatCannotBeWrittenFailsTheScript) {
    const harbor::ScriptOutcome outcome =
        RunText("start\nsnapshot " + (content_.Path() / "no/such/folder/stage.png").string() + "\n");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failed_line, 2);
    EXPECT_NE(outcome.failure.find("snapshot: cannot write"), std::string::npos) << outcome.failure;
}

TEST_F(DriverSessionTest, CommandsAfterTheEndFail) {
    harbor::ScriptOutcome r = RunText("start\nquit\nexpect ended\nclick BtnFkAsk\n");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failed_line, 4);
    EXPECT_NE(r.failure.find("the application has ended (the module confirmed the close request)"),
              std::string::npos)
        << r.failure;
}

TEST_F(DriverSessionTest, SceneDictionarySpritesArePublishedUnderTheirNames) {
    GetSession();
    HostValue key{0, HostValueName, 1, A("DctFkColors")};
    const HostValue* root = PSGet(&key);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->type, HostValueDictionary);
}

// The harbor program itself, as a bug reporter would run it.
struct ProgramRun {
    int status;
    std::string output;
};

ProgramRun Harbor(const std::string& arguments) {
    const std::string command = std::string(HARBOR_PROGRAM) + " " + arguments + " 2>&1";
    ProgramRun run{-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) run.output += chunk.data();
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class HarborProgramTest : public ::testing::Test {
protected:
    HarborProgramTest() { harbor_test::WriteFakeContent(content_.Path()); }

    std::string Common() const {
        return std::string("--module ") + FAKE_MODULE_PATH + " --content " + content_.Path().string() + " --data " +
               (content_.Path() / "data").string();
    }

    harbor_test::TempDir content_;
};

TEST_F(HarborProgramTest, AFailedExpectationNamesFileLineExpectedAndFound) {
    ProgramRun run = Harbor(Common() + " --script " + HARBOR_SCRIPTS_DIR "/fake_failing.harbor");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("fake_failing.harbor:5: expect visible TxtFkGreeting: expected visible "
                              "TxtFkGreeting, found hidden TxtFkGreeting"),
              std::string::npos)
        << run.output;
}

TEST_F(HarborProgramTest, BadScriptsAndModulesExitTwo) {
    harbor_test::WriteFile(content_.Path() / "bad.harbor", "start\nfly away\n");
    ProgramRun bad = Harbor(Common() + " --script " + (content_.Path() / "bad.harbor").string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.output.find("bad.harbor:2: unknown command 'fly'"), std::string::npos) << bad.output;

    ProgramRun missing = Harbor("--module " + (content_.Path() / "none.so").string() + " --content " +
                         content_.Path().string() + " --data " + (content_.Path() / "data").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("cannot load the mail module"), std::string::npos) << missing.output;
}

TEST_F(HarborProgramTest, TheTraceShowsRecordsAndTheDemoTellsItIsHeadless) {
    ProgramRun run = Harbor(Common() + " --headless --trace");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Harbor headless demo: the mail module runs without a window"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the scene ScFkStart is shown"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("] send    PM                 30032"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("] deliver AppPort            30013 NAME=ScFkStart"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the module confirmed the close request"), std::string::npos) << run.output;
}

TEST(HarborContentTest, DamagedSettingsAndMissingScenesStopHarborBeforeItRuns) {
    harbor_test::TempDir dir;
    const std::filesystem::path content = dir.Path() / "content";
    std::filesystem::copy(HARBOR_CONTENT_DIR, content, std::filesystem::copy_options::recursive);
    harbor_test::WriteFile(content / "WNSettings.dct", "{ \"SIGNUPURL\": \"x\",\n");
    const std::string options = std::string("--module ") + WRENMAIL_MODULE_PATH + " --content " + content.string() +
                                " --data " + (dir.Path() / "data").string() + " --player p7 --headless";
    ProgramRun damaged = Harbor(options);
    EXPECT_EQ(damaged.status, 2) << damaged.output;
    EXPECT_NE(damaged.output.find("has damaged default settings: " + (content / "WNSettings.dct").string() + ":2:1:"),
              std::string::npos)
        << damaged.output;
    std::filesystem::copy_file(std::filesystem::path(HARBOR_CONTENT_DIR) / "WNSettings.dct", content / "WNSettings.dct",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(content / "scenes" / "ScWnMain.json");
    ProgramRun missing = Harbor(options);
    EXPECT_EQ(missing.status, 2) << missing.output;
    EXPECT_NE(missing.output.find("has no scene file for ScWnMain"), std::string::npos) << missing.output;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "data"));
}

}  // namespace
