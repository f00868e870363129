// Sessions driven through the fixture, through scripts, and through the harbor program, with the
// stand-in module and a content folder written here; and what the driver adds for rich text views.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas.h"
#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "request_builder.h"

using harbor::Identity;
using harbor_test::A;
using harbor_test::Req;

namespace {

harbor::ScriptOutcome RunScriptText(const std::string& text, harbor::Driver& driver) {
    harbor::ScriptParseResult parsed = harbor::ParseScript(text, "t.harbor");
    EXPECT_TRUE(parsed) << (parsed.errors.empty() ? "" : parsed.errors.front());
    return harbor::RunScript(parsed.script, driver);
}

class DriverSessionTest : public HarborFixture {
protected:
    DriverSessionTest() {
        harbor_test::WriteFakeContent(content_.Path());
        Options().module_path = FAKE_MODULE_PATH;
        Options().content_dir = content_.Path();
    }

    harbor::ScriptOutcome RunText(const std::string& text) { return RunScriptText(text, GetDriver()); }

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

// The harbor program itself, as a bug reporter would run it.
using ProgramRun = harbor_test::CommandRun;

ProgramRun Harbor(const std::string& arguments) {
    return harbor_test::RunCommand(std::string(HARBOR_PROGRAM) + " " + arguments + " 2>&1");
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

// What the driver adds for rich text views, with the real scenes and a test handler on WritePort
// painting the view: `expect drawn` and what it reports, pictures forgotten when the scene is
// left, keys with modifiers held, and a frame after each key. The module's own view is driven
// through the same commands by the write sessions in tests/e2e.
std::vector<std::string> lines;  // what the test view draws, 40 units apart
std::vector<EDict> keys;  // 30024 records on KeyboardPort

bool HXCALL OnWritePort(EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    if (EDictGetType(record) != 30072 || canvas == nullptr || EDictGetShort(record, A("NAME")) != A("PvtWrMessage")) {
        return false;
    }
    canvas->SelectFont("Comic Sans MS", 0, 24);
    float y = 3;
    for (const std::string& line : lines) {
        canvas->MoveTo(3, y);
        canvas->DrawText(line.c_str());
        y += 40;
    }
    EDictPutBool(record, A("UPDATED"), true);
    return true;
}

bool HXCALL OnKeyboardPort(EDict* record) {
    if (EDictGetType(record) == 30024) keys.push_back(*record);
    return false;
}

class RichTextProtocolTest : public HarborFixture {
protected:
    RichTextProtocolTest() {
        Options().module_path = FAKE_MODULE_PATH;
        Options().data_dir = data_.Path();
        lines.clear();
        keys.clear();
    }

    // The fake module started, the write scene shown with its rich text, the test view on its port.
    void SetUp() override {
        HarborFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(GetSession().Scenes().ShowScene(A("ScWrWrite")));
        HxPortAttach(A("WritePort"), &OnWritePort);
        HxPortAttach(A("KeyboardPort"), &OnKeyboardPort);
        Req(30013).Atom("SPRITENAME", "PvtWrMessage").SendTo(A("ScWrWrite"));
        GetSession().Settle();
    }

    void TearDown() override {
        HxPortDetach(A("WritePort"), &OnWritePort);
        HxPortDetach(A("KeyboardPort"), &OnKeyboardPort);
        HarborFixture::TearDown();
    }

    harbor::ScriptOutcome RunText(const std::string& text) { return RunScriptText(text, GetDriver()); }

    harbor_test::TempDir data_;
};

TEST_F(RichTextProtocolTest, ExpectDrawnSaysWhatWasDrawnOrWhyNothingWas) {
    lines = {"Dear Bo,", "see you soon"};
    harbor::ScriptOutcome ok = RunText("wait 16\nexpect drawn PvtWrMessage \"Bo,\\nsee you\"\n");
    EXPECT_TRUE(ok.ok) << ok.failure;
    EXPECT_EQ(RunText("expect drawn PvtWrMessage \"see you later\"\n").failure,
              "t.harbor:1: expect drawn PvtWrMessage \"see you later\": expected drawn PvtWrMessage containing "
              "\"see you later\", found drawn PvtWrMessage \"Dear Bo,\\nsee you soon\"");
    const std::string nowhere = RunText("expect drawn PvtNothing \"x\"\n").failure;
    EXPECT_NE(nowhere.find("no sprite PvtNothing in ScWrWrite"), std::string::npos) << nowhere;

    // Entered again, the sprite is unpainted until the module shows and paints it.
    ASSERT_TRUE(GetSession().Scenes().ShowScene(A("ScRdRead")));
    GetSession().Settle();
    Wait(16);  // a frame on the other scene
    ASSERT_TRUE(GetSession().Scenes().ShowScene(A("ScWrWrite")));
    GetSession().Settle();
    ::testing::AssertionResult again = Drawn("PvtWrMessage", "Dear Bo");
    EXPECT_FALSE(again);
    EXPECT_NE(std::string(again.message()).find("not painted"), std::string::npos) << again.message();
    EXPECT_EQ(GetSession().Canvases().Picture(A("ScWrWrite"), A("PvtWrMessage")), nullptr);
}

// A named key or a character after "Ctrl+", "Shift+", "Alt+"; a field leaves keys with Control
// held to KeyboardPort.
TEST_F(RichTextProtocolTest, KeysCanBePressedWithModifiersHeld) {
    ASSERT_TRUE(Key("Ctrl+Home"));
    ASSERT_TRUE(Key("ctrl+shift+c"));
    ASSERT_TRUE(Key("Alt+Left"));
    std::vector<std::vector<int32_t>> got;  // KEY and the modifiers held
    for (const EDict& key : keys) got.push_back(harbor_test::Longs(key, {"KEY", "CTLKEY", "SHIFTKEY", "ALTKEY"}));
    EXPECT_EQ(got, (std::vector<std::vector<int32_t>>{{36, 1, 0, 0}, {67, 1, 1, 0}, {37, 0, 0, 1}}));
    ASSERT_TRUE(Type("EdtWrTo", "ann"));
    ASSERT_TRUE(Key("Ctrl+v"));
    EXPECT_EQ(keys.size(), 4u);
    for (const char* bad : {"Ctrl+", "Hyper+a", "Ctrl+Nothing"}) {
        EXPECT_EQ(GetDriver().Key(bad), std::string("key: unknown key ") + bad);
    }
    ASSERT_TRUE(Key("+"));  // the plus key itself, into the field
    EXPECT_TRUE(TextIs("EdtWrTo", "ann+"));
}

// Between two keys the module paints (the write sessions fail without it); the clock stands still.
TEST_F(RichTextProtocolTest, TheFrameAfterEachKeyLeavesTheClockStill) {
    const uint64_t now = HxNow();
    ASSERT_TRUE(Keys("ab"));
    ASSERT_TRUE(Key("End"));
    EXPECT_EQ(HxNow(), now);
}

TEST(RichTextScriptParseTest, BadKeysAndExpectDrawnLinesAreNamed) {
    harbor::ScriptParseResult bad =
        harbor::ParseScript("keys\nkeys a \"b\"\nexpect drawn PvtWrMessage hi\nexpect drawn\n", "p.harbor");
    ASSERT_EQ(bad.errors.size(), 4u);
    EXPECT_EQ(bad.errors[0], "p.harbor:1: keys needs a text");
    EXPECT_EQ(bad.errors[1], "p.harbor:2: keys: quote the whole text, or none of it");
    EXPECT_EQ(bad.errors[2], "p.harbor:3: expect drawn needs a sprite and a quoted text");
}

}  // namespace
