// What the driver adds for rich text views, with the real scenes and a test handler on WritePort
// painting the view: `expect drawn` and what it reports, pictures forgotten when the scene is
// left, keys with modifiers held, and a frame after each key. The module's own view is driven
// through the same commands by the write sessions in tests/e2e.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas.h"
#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"
#include "request_builder.h"

using harbor_test::A;
using harbor_test::Req;

namespace {

std::vector<std::string> lines;  // what the test view draws, 40 units apart
int draws = 0;
std::vector<EDict> keys;  // 30024 records on KeyboardPort

bool HXCALL OnWritePort(EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    if (EDictGetType(record) != 30072 || canvas == nullptr || EDictGetShort(record, A("NAME")) != A("PvtWrMessage")) {
        return false;
    }
    ++draws;
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
        draws = 0;
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

    harbor::ScriptOutcome RunText(const std::string& text) {
        harbor::ScriptParseResult parsed = harbor::ParseScript(text, "t.harbor");
        EXPECT_TRUE(parsed) << (parsed.errors.empty() ? "" : parsed.errors.front());
        return harbor::RunScript(parsed.script, GetDriver());
    }

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

// Between two keys the module paints, so a key sees the layout the one before it made; the clock
// stands still.
TEST_F(RichTextProtocolTest, EachKeyIsFollowedByAFrame) {
    Wait(16);
    const int before = draws;
    const uint64_t now = HxNow();
    ASSERT_TRUE(Keys("ab"));
    EXPECT_EQ(draws, before + 2);
    ASSERT_TRUE(Key("End"));
    EXPECT_EQ(draws, before + 3);
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
