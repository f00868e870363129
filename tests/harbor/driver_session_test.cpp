// The stand-in module (fake_module.cpp) driven through the fixture, through scripts and through
// the harbor program, with a content folder written here: the application's life (loading,
// starting, stopping, close requests and their grace period, the plug-in data store), what checks
// and scripts report, what the driver adds for rich text views, and how scripts and harbor's
// command line are parsed. The real module is started and stopped by every session in tests/e2e.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "canvas.h"
#include "driver/command_line.h"
#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "request_builder.h"
#include "runtime/module_host.h"
#include "runtime/module_library.h"
#include "services/plugin_data_service.h"

using harbor::EndReason;
using harbor::Identity;
using harbor::ParseScript;
using harbor_test::A;
using harbor_test::Req;

namespace {

std::string NameOf(const EDict& record, const char* key) {
    const char* text = DaNameGetString(EDictGetShort(&record, A(key)));
    return text != nullptr ? text : "";
}

harbor::ScriptOutcome RunScriptText(const std::string& text, harbor::Driver& driver) {
    harbor::ScriptParseResult parsed = harbor::ParseScript(text, "t.harbor");
    EXPECT_TRUE(parsed) << (parsed.errors.empty() ? "" : parsed.errors.front());
    return harbor::RunScript(parsed.script, driver);
}

TEST(ModuleLibraryTest, ErrorsNameThePathAndTheCause) {
    harbor_test::TempDir dir;
    harbor_test::WriteFile(dir.Path() / "text.so", "not a library");
    const std::pair<std::filesystem::path, std::vector<std::string>> cases[] = {
        {dir.Path() / "text.so", {"text.so", "cannot load the mail module"}},
        {HXMSG_LIBRARY_PATH, {"no PM_Main"}},  // loads, but is no module
        {dir.Path(), {"not a regular file"}},
    };
    for (const auto& [file, parts] : cases) {
        std::string error;
        EXPECT_EQ(harbor::ModuleLibrary::Open(file, error), nullptr) << file;
        for (const std::string& part : parts) EXPECT_NE(error.find(part), std::string::npos) << error;
    }
}

// Values not given are left out, not sent empty.
TEST(ModuleHostTest, StartMessageHoldsOnlyTheGivenValues) {
    EDict kite_only = StartMessage(Identity{std::nullopt, "kite_bo", std::nullopt});
    EXPECT_EQ(EDictKeyCount(&kite_only), 1);
    EXPECT_EQ(NameOf(kite_only, "WNOrbitID"), "kite_bo");
    EDict none = StartMessage(Identity{});
    EXPECT_EQ(EDictKeyCount(&none), 0);
}

class FakeModuleTest : public HarborFixture {
protected:
    FakeModuleTest() {
        harbor_test::WriteFakeContent(content_.Path());
        Options().module_path = FAKE_MODULE_PATH;
        Options().content_dir = content_.Path();
    }

    EndReason Reason() { return GetSession().App().Reason(); }
    harbor::ScriptOutcome RunText(const std::string& text) { return RunScriptText(text, GetDriver()); }
    // The harbor program's options for this module and content.
    std::string Common() const {
        return std::string("--module ") + FAKE_MODULE_PATH + " --content " + content_.Path().string() + " --data " +
               (content_.Path() / "data").string();
    }

    harbor_test::TempDir content_;
    harbor_test::FakeModule fake_;
};
using ApplicationTest = FakeModuleTest;
using DriverSessionTest = FakeModuleTest;
using HarborProgramTest = FakeModuleTest;

// The script's identity joins the options'; the module erases it from the plug-in data store.
TEST_F(ApplicationTest, StartSendsTheIdentityToPmOnceAndStopSends30041AndUnloads) {
    Options().identity = Identity{"ann", "kite_ann", std::nullopt};
    ASSERT_TRUE(Start(Identity{std::nullopt, std::nullopt, "pw"}));
    ASSERT_GE(fake_.Count(), 1);
    const EDict& start = fake_.Call(0);  // the 30032 on PM, as the types on PM below show
    EXPECT_EQ(NameOf(start, "WNPlayerID"), "ann");
    EXPECT_EQ(NameOf(start, "WNOrbitID"), "kite_ann");
    EXPECT_EQ(NameOf(start, "WNPassword"), "pw");
    EXPECT_TRUE(GetSession().Running());
    const EDict& store = GetSession().PluginData().Record();
    EXPECT_EQ(EDictKeyCount(&store), 3);
    for (const char* key : {"WNPlayerID", "WNOrbitID", "WNPassword"}) {
        EXPECT_TRUE(EDictHasKey(&store, A(key))) << key;
        EXPECT_EQ(EDictGetShort(&store, A(key)), 0) << key;
    }
    EXPECT_NE(GetDriver().Start({}), "");
    Wait(160);
    EXPECT_EQ(fake_.Ticks(), 10);

    Stop();
    EXPECT_NE(GetDriver().Start({}), "");
    EXPECT_EQ(fake_.TypesOn(A("PM")), (std::vector<uint16_t>{30032, 30041}));
    EXPECT_FALSE(GetSession().Module().Loaded());
    EDict late = harbor_test::Record(30032);
    HxPortSend(A("PM"), &late);  // nobody listens on PM any more
    EXPECT_EQ(fake_.TypesOn(A("PM")).size(), 2u);
    EXPECT_TRUE(HasEnded());
    // The tick handler the module left attached is detached at unload (the test keeps the library).
    HxAdvanceTime(160);
    EXPECT_EQ(fake_.Ticks(), 10);
}

TEST_F(ApplicationTest, QuitEndsWhenTheModulesConfirmationArrives) {
    ASSERT_TRUE(Start());
    Wait(100);
    Quit();
    EXPECT_EQ(Reason(), EndReason::QuitConfirmed);
    EXPECT_EQ(HxNow(), 100u + 20u * 16u);  // the module's 30003 comes 20 ticks later
    EXPECT_EQ(fake_.TypesOn(A("PM")), (std::vector<uint16_t>{30032, 30026, 30041}));
    EXPECT_FALSE(GetSession().Module().Loaded());
}

TEST_F(ApplicationTest, QuitEndsAfterTheGracePeriodWithoutConfirmation) {
    fake_.ConfirmQuit(false);
    ASSERT_TRUE(Start());
    Wait(100);
    Quit();
    EXPECT_EQ(Reason(), EndReason::GracePeriodOver);
    EXPECT_EQ(HxNow(), 100u + harbor::kQuitGraceMs);
    EXPECT_EQ(fake_.TypesOn(A("PM")).back(), 30041);
}

// A 30003 without a close request changes nothing; a wait stops where a later 30059 ends the run.
TEST_F(ApplicationTest, A30003AloneIsIgnoredAndWaitStopsAtTheEnd) {
    ASSERT_TRUE(Start());
    Req(30003).PostTo(A("HarborPort"));
    Req(30059).PostTo(A("HarborPort"), 300);
    Wait(1000);
    EXPECT_EQ(Reason(), EndReason::ExitRequested);
    EXPECT_EQ(HxNow(), 300u);
}

int late_deliveries = 0;

TEST_F(ApplicationTest, A30059OnHarborPortEndsAndStopsTheModuleAfterTheDelivery) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Click("BtnFkExit"));  // the module posts 30059 to HarborPort
    EXPECT_EQ(Reason(), EndReason::ExitRequested);
    EXPECT_EQ(fake_.TypesOn(A("PM")).back(), 30041);
    EXPECT_FALSE(GetSession().Module().Loaded());
    EXPECT_NE(GetDriver().Click("BtnFkAsk"), "");  // nothing to click into any more
    // Nothing is delivered after the end: pending posts may carry texts that point into the module.
    late_deliveries = 0;
    HxPortAttach(A("TestLatePort"), [](EDict*) { ++late_deliveries; return false; });
    Req(30035).PostTo(A("TestLatePort"));
    Wait(100);
    EXPECT_EQ(late_deliveries, 0);
}

TEST_F(ApplicationTest, OpenAddressIsOnlyNotedWhenHeadless) {
    CaptureTrace();
    ASSERT_TRUE(Start());
    Req(30009).Text("STRING", "https://wrenmail.example/parents").SendTo(A("HarborPort"));
    EXPECT_EQ(GetSession().HarborPort().OpenedAddresses(),
              std::vector<std::string>{"https://wrenmail.example/parents"});
    const std::vector<std::string> lines = TraceLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("headless: not opening \"https://wrenmail.example/parents\"") != std::string::npos;
    }));
}

// A merge overwrites, adds and keeps the rest; records without a usable PMDATA change nothing.
TEST(PluginDataTest, MergesOnlyUsableData) {
    HxReset();
    harbor::PluginDataService store;
    store.Reset(Identity{"ann", "kite_ann", std::nullopt});
    EDict data = harbor_test::Record(0);
    EDictPutShort(&data, A("WNOrbitID"), A("kite_bo"));
    EDictPutLong(&data, A("Volume"), -3);
    Req(30052).Pointer("PMDATA", &data).SendTo(A("AppPort"));
    Req(30052).Pointer("PMDATA", nullptr).SendTo(A("AppPort"));
    Req(30052).Name("WNPlayerID").SendTo(A("AppPort"));
    const EDict& r = store.Record();
    EXPECT_EQ(EDictKeyCount(&r), 3);
    EXPECT_EQ(EDictGetShort(&r, A("WNPlayerID")), A("ann"));
    EXPECT_EQ(EDictGetShort(&r, A("WNOrbitID")), A("kite_bo"));
    EXPECT_EQ(EDictGetLong(&r, A("Volume")), -3);
    EXPECT_FALSE(EDictHasKey(&r, A("WNPassword")));

    // A short overwritten in place leaves its neighbours alone.
    EDict zero = harbor_test::Record(0);
    EDictPutShort(&zero, A("WNPlayerID"), 0);
    store.Merge(zero);
    EXPECT_EQ(EDictGetShort(&r, A("WNPlayerID")), 0);
    EXPECT_EQ(EDictGetShort(&r, A("WNOrbitID")), A("kite_bo"));
    HxReset();
}

TEST_F(DriverSessionTest, ChecksSayWhatWasFoundAndImpossibleInputIsAnError) {
    harbor::Driver& driver = GetDriver();
    EXPECT_EQ(driver.Click("BtnFkAsk"), "click BtnFkAsk: the module is not started");
    ASSERT_TRUE(Start());
    // A failed check's message, as a report shows it.
    EXPECT_STREQ(Visible("TxtFkGreeting").message(), "expected visible TxtFkGreeting, found hidden TxtFkGreeting");
    EXPECT_STREQ(TextIs("TxtNothing", "x").message(), "expected text TxtNothing \"x\", found no sprite TxtNothing in ScFkStart");
    EXPECT_STREQ(SceneIs("ScCsSignIn").message(), "expected scene ScCsSignIn, found scene ScFkStart");
    EXPECT_EQ(driver.Click("BtnFkHidden"), "click: BtnFkHidden is hidden");
    EXPECT_EQ(driver.Click("BtnNowhere"), "click: scene ScFkStart has no sprite BtnNowhere");
    EXPECT_EQ(driver.Type("BtnFkAsk", "x"), "type: BtnFkAsk is not an edit field");
    EXPECT_EQ(driver.Key("Hyper"), "key: unknown key Hyper");
    ASSERT_TRUE(Click("BtnFkAsk"));
    EXPECT_STREQ(NoDialog().message(), "expected no dialog, found dialog \"Are you there?\"");
    EXPECT_FALSE(DialogShows("Are you here?"));
}

// Scripts stop at their first failure and name its line (every e2e session is a script that runs
// through): a failed check, a snapshot that cannot
// be written (what the picture holds is checked by the painter's own tests), a command after the end.
TEST_F(DriverSessionTest, ScriptsStopAtTheFirstFailureAndNameItsLine) {
    harbor::ScriptOutcome bad = RunText("start\nclick BtnFkOk\n\nexpect dialog \"Gone\"\nclick BtnFkAsk\n");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.failed_line, 4);
    EXPECT_EQ(bad.commands_run, 3);
    EXPECT_EQ(bad.failure, "t.harbor:4: expect dialog \"Gone\": expected dialog \"Gone\", found no dialog");

    const harbor::ScriptOutcome snapshot =
        RunText("wait 16\nsnapshot " + (content_.Path() / "no/such/folder/stage.png").string() + "\n");
    EXPECT_EQ(snapshot.failed_line, 2);
    EXPECT_NE(snapshot.failure.find("snapshot: cannot write"), std::string::npos) << snapshot.failure;

    harbor::ScriptOutcome ended = RunText("quit\nexpect ended\nclick BtnFkAsk\n");
    EXPECT_EQ(ended.failed_line, 3);
    const std::string why = "the application has ended (the module confirmed the close request)";
    EXPECT_NE(ended.failure.find(why), std::string::npos) << ended.failure;
}

// The harbor program itself, as a bug reporter would run it.
using ProgramRun = harbor_test::CommandRun;

ProgramRun Harbor(const std::string& arguments) {
    return harbor_test::RunCommand(std::string(HARBOR_PROGRAM) + " " + arguments + " 2>&1");
}

// Damaged default settings stop it before it makes the data folder.
TEST_F(HarborProgramTest, BadScriptsModulesAndSettingsExitTwo) {
    harbor_test::WriteFile(content_.Path() / "bad.harbor", "start\nfly away\n");
    ProgramRun bad = Harbor(Common() + " --script " + (content_.Path() / "bad.harbor").string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.output.find("bad.harbor:2: unknown command 'fly'"), std::string::npos) << bad.output;

    ProgramRun missing = Harbor("--module " + (content_.Path() / "none.so").string() + " --content " +
                         content_.Path().string() + " --data " + (content_.Path() / "data").string());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("cannot load the mail module"), std::string::npos) << missing.output;

    const std::string settings = (content_.Path() / "WNSettings.dct").string();
    harbor_test::WriteFile(settings, "{ \"SIGNUPURL\": \"x\",\n");
    ProgramRun damaged = Harbor(Common() + " --headless");
    EXPECT_EQ(damaged.status, 2) << damaged.output;
    EXPECT_NE(damaged.output.find("has damaged default settings: " + settings + ":2:1:"), std::string::npos) << damaged.output;
    EXPECT_FALSE(std::filesystem::exists(content_.Path() / "data"));
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

// What the driver adds for rich text views, with the real scenes and a test handler on WritePort
// painting the view: `expect drawn` and what it reports, pictures forgotten when the scene is
// left, keys with modifiers held, and a frame after each key. The module's own view is driven
// through the same commands by the write sessions in tests/e2e.
const char* const kLines[] = {"Dear Bo,", "see you soon"};  // what the test view draws, 40 units apart
std::vector<EDict> keys;  // 30024 records on KeyboardPort

bool HXCALL OnWritePort(EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    if (EDictGetType(record) != 30072 || canvas == nullptr || EDictGetShort(record, A("NAME")) != A("PvtWrMessage")) {
        return false;
    }
    canvas->SelectFont("Comic Sans MS", 0, 24);
    float y = 3;
    for (const char* line : kLines) {
        canvas->MoveTo(3, y);
        canvas->DrawText(line);
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
    // The fake module started, the write scene shown with its rich text, the test view on its port.
    void SetUp() override {
        HarborFixture::SetUp();
        Options().module_path = FAKE_MODULE_PATH;
        Options().data_dir = data_.Path();
        keys.clear();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(GetSession().Scenes().ShowScene(A("ScWrWrite")));
        HxPortAttach(A("WritePort"), &OnWritePort);
        HxPortAttach(A("KeyboardPort"), &OnKeyboardPort);
        Req(30013).Atom("SPRITENAME", "PvtWrMessage").SendTo(A("ScWrWrite"));
        GetSession().Settle();
    }

    harbor_test::TempDir data_;
};

TEST_F(RichTextProtocolTest, ExpectDrawnSaysWhatWasDrawnOrWhyNothingWas) {
    Wait(16);  // a frame: the view paints
    EXPECT_EQ(RunScriptText("expect drawn PvtWrMessage \"see you later\"\n", GetDriver()).failure,
              "t.harbor:1: expect drawn PvtWrMessage \"see you later\": expected drawn PvtWrMessage containing "
              "\"see you later\", found drawn PvtWrMessage \"Dear Bo,\\nsee you soon\"");
    const std::string nowhere = RunScriptText("expect drawn PvtNothing \"x\"\n", GetDriver()).failure;
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
}

// A named key or a character after "Ctrl+", "Shift+", "Alt+"; a field leaves keys with Control
// held to KeyboardPort. Between two keys the module paints (the write sessions fail without it);
// the clock stands still.
TEST_F(RichTextProtocolTest, KeysCanBePressedWithModifiersHeldAndLeaveTheClockStill) {
    const uint64_t now = HxNow();
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
    ASSERT_TRUE(Keys("ab"));
    EXPECT_EQ(HxNow(), now);
}

// Parsing driver scripts and harbor's command line.
// Every command's parse is used by the sessions in tests/e2e; these are the edges they do not meet.
TEST(ScriptParseTest, QuotingCommentsAndLineNumbers) {
    const char* text = R"(# a whole session
start player=ann kite="kite ann" password=
click BtnCsEnter   # trailing comment

type EdtCsName Ann  Lee	# blanks inside kept, the comment dropped
type EdtCsPassword "a \"b\" # c"
expect text TxtCsName "Ann Lee"
)";
    harbor::ScriptParseResult r = ParseScript(text, "s.hs");
    ASSERT_TRUE(r) << r.errors.front();
    const auto& c = r.script.commands;
    ASSERT_EQ(c.size(), 5u);
    EXPECT_EQ(c[0].line, 2);
    EXPECT_EQ(c[0].identity.player, "ann");
    EXPECT_EQ(c[0].identity.kite, "kite ann");
    EXPECT_EQ(c[0].identity.password, "");  // given, and empty
    EXPECT_EQ(c[1].target, "BtnCsEnter");
    EXPECT_EQ(c[2].line, 5);
    EXPECT_EQ(c[2].text, "Ann  Lee");
    EXPECT_EQ(c[3].text, "a \"b\" # c");
    EXPECT_EQ(c[4].text, "Ann Lee");
}

TEST(ScriptParseTest, EveryBadLineIsReportedWithItsNumber) {
    const char* text =
        "start\n"
        "klick BtnX\n"
        "click\n"
        "wait soon\n"
        "wait -5\n"
        "key Hyper\n"
        "expect text TxtX unquoted\n"
        "expect dialog maybe\n"
        "expect colour BtnX\n"
        "type EdtX \"open\n"
        "start mood=happy\n"
        "quit now\n"
        "type EdtX \"a\" b\n"
        "type \"\" text\n"
        "keys\n"
        "keys a \"b\"\n"
        "expect drawn PvtWrMessage hi\n";
    harbor::ScriptParseResult r = ParseScript(text, "bad.hs");
    ASSERT_EQ(r.errors.size(), 16u);
    // Lines 9 and 11 go on to list what is known.
    EXPECT_TRUE(r.errors[7].starts_with("bad.hs:9: unknown expectation 'colour'")) << r.errors[7];
    EXPECT_TRUE(r.errors[9].starts_with("bad.hs:11: unknown start option 'mood'")) << r.errors[9];
    r.errors[7] = r.errors[9] = "";
    EXPECT_EQ(r.errors, (std::vector<std::string>{"bad.hs:2: unknown command 'klick'", "bad.hs:3: needs one sprite name",
                                                  "bad.hs:4: wait: 'soon' is not a number of milliseconds",
                                                  "bad.hs:5: wait: '-5' is not a number of milliseconds",
                                                  "bad.hs:6: unknown key 'Hyper'",
                                                  "bad.hs:7: expect text needs a sprite and a quoted text",
                                                  "bad.hs:8: expect dialog: quote the text, or say none", "",
                                                  "bad.hs:10: the quote is not closed", "",
                                                  "bad.hs:12: quit takes nothing more",
                                                  "bad.hs:13: type: quote the whole text, or none of it",
                                                  "bad.hs:14: a name cannot be empty", "bad.hs:15: keys needs a text",
                                                  "bad.hs:16: keys: quote the whole text, or none of it",
                                                  "bad.hs:17: expect drawn needs a sprite and a quoted text"}));
    ASSERT_EQ(r.script.commands.size(), 1u);  // only the good line
}

TEST(ScriptParseTest, LimitsAndEdges) {
    EXPECT_FALSE(ParseScript("wait 86400001", "w"));
    EXPECT_TRUE(ParseScript("wait 86400000", "w"));
    EXPECT_FALSE(ParseScript("expect text T \"bad \\q escape\"", "w"));
    harbor::ScriptParseResult empty = ParseScript("\n  \n# only comments\n", "e");
    EXPECT_TRUE(empty);
    EXPECT_TRUE(empty.script.commands.empty());
    harbor::ScriptParseResult crlf = ParseScript("click BtnX\r\nkey Enter\r\n", "crlf");
    ASSERT_TRUE(crlf);
    EXPECT_EQ(crlf.script.commands[0].target, "BtnX");
    EXPECT_EQ(crlf.script.commands[1].line, 2);
    EXPECT_FALSE(ParseScript("\"click\" BtnX", "q"));  // a quoted command
}

TEST(ScriptParseTest, StagePointsForClicksAndDrags) {
    harbor::ScriptParseResult r = ParseScript("clickat 10 20\ndoubleclickat 3 4\ndrag 1 2 30 40\n", "p");
    ASSERT_TRUE(r) << r.errors.front();
    EXPECT_EQ(r.script.commands[0].clicks, 1);
    EXPECT_EQ(r.script.commands[0].y, 20);
    EXPECT_EQ(r.script.commands[1].clicks, 2);
    EXPECT_EQ(r.script.commands[2].x2, 30);
    EXPECT_EQ(r.script.commands[2].y2, 40);
    harbor::ScriptParseResult bad = ParseScript("clickat 10\nclickat -1 5\ndrag 1 2 3\nclickat 5 x\n", "b");
    ASSERT_EQ(bad.errors.size(), 4u);
    EXPECT_EQ(bad.errors[1], "b:2: '-1' is not a stage coordinate");
    EXPECT_EQ(bad.errors[2], "b:3: drag needs two stage points: X1 Y1 X2 Y2");
    EXPECT_TRUE(ParseScript("clickat 9999 5", "p"));  // stage coordinates stop below 10000
    EXPECT_FALSE(ParseScript("clickat 10000 5", "p"));
}

TEST(CommandLineTest, OptionsWithValuesInEitherForm) {
    harbor::CommandLineResult r = harbor::ParseCommandLine(
        {"--module", "/m.so", "--content=/c", "--player", "ann", "--kite=k", "--password", "", "--trace"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.content, "/c");
    EXPECT_EQ(r.options.identity.player, "ann");
    EXPECT_EQ(r.options.identity.kite, "k");
    EXPECT_EQ(r.options.identity.password, "");
    EXPECT_TRUE(r.options.trace);

    harbor::CommandLineResult s = harbor::ParseCommandLine({"--script", "x.hs", "--trace-timers"});
    EXPECT_TRUE(s.options.trace);
}

TEST(CommandLineTest, MistakesAreNamed) {
    EXPECT_EQ(harbor::ParseCommandLine({"--bogus"}).error, "unknown option '--bogus' (see --help)");
    EXPECT_EQ(harbor::ParseCommandLine({"--module"}).error, "--module needs a value");
    EXPECT_EQ(harbor::ParseCommandLine({"--trace=yes"}).error, "--trace takes no value");
    EXPECT_NE(harbor::ParseCommandLine({"--script", "a", "--demo"}).error, "");
    for (const char* option : {"--module", "--content", "--data", "--player", "--kite", "--password", "--trace",
                               "--headless", "--script", "--demo", "--sounds", "--dialup", "--help"}) {
        EXPECT_NE(harbor::HelpText().find(option), std::string::npos) << option;
    }
}

// The snapshot command: where its file goes.
TEST(SnapshotParseTest, RelativeFilesLandBesideTheScript) {
    const harbor::ScriptParseResult r =
        harbor::ParseScript("snapshot first.png\nsnapshot shots/second.png\nsnapshot /abs/third.png\n",
                            "/work/sessions/signin.harbor");
    ASSERT_TRUE(r) << r.errors.front();
    ASSERT_EQ(r.script.commands.size(), 3u);
    EXPECT_EQ(r.script.commands[0].kind, harbor::CommandKind::Snapshot);
    EXPECT_EQ(r.script.commands[0].target, "/work/sessions/first.png");
    EXPECT_EQ(r.script.commands[1].target, "/work/sessions/shots/second.png");
    EXPECT_EQ(r.script.commands[2].target, "/abs/third.png");
    // A script named without a folder keeps the name as written: relative to where harbor runs.
    EXPECT_EQ(harbor::ParseScript("snapshot a.png", "s.harbor").script.commands.at(0).target, "a.png");
    EXPECT_FALSE(harbor::ParseScript("snapshot", "s.harbor"));
    EXPECT_FALSE(harbor::ParseScript("snapshot a.png b.png", "s.harbor"));
}

}  // namespace
