// Parsing driver scripts and harbor's command line.
#include <gtest/gtest.h>

#include "driver/command_line.h"
#include "driver/script.h"

using harbor::ParseScript;

namespace {

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
