// The rich text protocol through the fixture, with the real scenes and a test handler on
// WritePort playing the module's rich text view: the sprite reported ready and its rectangle,
// draw requests with a canvas and the picture kept on a false answer, stamp instances, the text
// cursor, keys to whatever has the keyboard, and `expect drawn`.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <cairo.h>

#include "canvas.h"
#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"

using harbor_test::A;
using harbor_test::Record;

namespace {

// What the test view paints, and what it saw.
struct View {
    std::vector<std::string> lines;  // drawn 40 units apart from (3, 3)
    bool answer = true;
    bool updated = true;
    std::vector<EDict> records;  // every record on WritePort
    std::vector<EDict> draws;    // the draw requests, with the canvas size they carried
    std::vector<CanvasSize> sizes;
    EDict rect{};  // the answer to the 30055 sent on 30060
};

View view;
std::vector<EDict> keys;  // 30024 records on KeyboardPort

bool Paint(EDict* record) {
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    if (canvas == nullptr) return true;
    const CanvasSize size = canvas->Size();
    view.sizes.push_back(size);
    canvas->SetColor(255, 251, 240);
    canvas->Rectangle(0, 0, static_cast<float>(size.width), static_cast<float>(size.height));
    canvas->Fill();
    canvas->SetColor(0, 0, 0);
    canvas->SelectFont("Comic Sans MS", 0, 24);
    float y = 3;
    for (const std::string& line : view.lines) {
        canvas->MoveTo(3, y);
        canvas->DrawText(line.c_str());
        y += 40;
    }
    if (view.updated) {
        EDictPutBool(record, A("UPDATED"), true);
        EDictPutLong(record, A("WIDTH"), size.width);
        EDictPutLong(record, A("HEIGHT"), size.height);
    }
    return view.answer;
}

bool HXCALL OnWritePort(EDict* record) {
    view.records.push_back(*record);
    const uint16_t type = EDictGetType(record);
    if (type == 30060 && EDictGetShort(record, A("NAME")) == A("PvtWrMessage")) {
        view.rect = Record(30055);
        EDictPutShort(&view.rect, A("NAME"), A("PvtWrMessage"));
        EDictPutShort(&view.rect, A("KIND"), A("SP_GENERAL"));
        EDictPutBool(&view.rect, A("NOTIFY"), false);
        HxPortSend(A("ScWrWrite"), &view.rect);
        return true;
    }
    if (type == 30072 && EDictGetShort(record, A("NAME")) == A("PvtWrMessage")) {
        view.draws.push_back(*record);
        return Paint(record);
    }
    return false;
}

uint32_t PixelAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    uint32_t pixel = 0;
    std::memcpy(&pixel, cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
    return pixel;
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
        view = View{};
        keys.clear();
    }

    // The fake module started, the write scene shown and the test view on its port.
    void SetUp() override {
        HarborFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(GetSession().Scenes().showScene(A("ScWrWrite")));
        HxPortAttach(A("WritePort"), &OnWritePort);
        HxPortAttach(A("KeyboardPort"), &OnKeyboardPort);
        GetSession().Settle();
    }

    void TearDown() override {
        HxPortDetach(A("WritePort"), &OnWritePort);
        HxPortDetach(A("KeyboardPort"), &OnKeyboardPort);
        HarborFixture::TearDown();
    }

    static void ToScene(EDict& d) { HxPortSend(A("ScWrWrite"), &d); }

    static EDict Named(uint16_t type, const char* sprite, const char* key = "NAME") {
        EDict d = Record(type);
        EDictPutShort(&d, A(key), A(sprite));
        return d;
    }

    // The view's create: the rich text sprite and the cursor shown on the scene.
    void ShowViewSprites() {
        EDict text = Named(30013, "PvtWrMessage", "SPRITENAME");
        ToScene(text);
        EDict cursor = Named(30013, "AniWrCursor", "SPRITENAME");
        ToScene(cursor);
        GetSession().Settle();
    }

    std::vector<uint16_t> ReadyNames() const {
        std::vector<uint16_t> names;
        for (const EDict& d : view.records) {
            if (EDictGetType(&d) == 30060) names.push_back(EDictGetShort(&d, A("NAME")));
        }
        return names;
    }

    std::optional<harbor::SpriteInfo> Sprite(const char* name) { return GetSession().Scenes().sprite(A(name)); }

    harbor::ScriptOutcome RunText(const std::string& text) {
        harbor::ScriptParseResult parsed = harbor::ParseScript(text, "t.harbor");
        EXPECT_TRUE(parsed) << (parsed.errors.empty() ? "" : parsed.errors.front());
        return harbor::RunScript(parsed.script, GetDriver());
    }

    harbor_test::TempDir data_;
};

TEST_F(RichTextProtocolTest, ShownSpritesAreReportedReadyAndAnswerTheirRectangles) {
    ShowViewSprites();
    EXPECT_EQ(ReadyNames(), (std::vector<uint16_t>{A("PvtWrMessage"), A("AniWrCursor")}));
    // The rich text's rectangle, as the scene file places it: [14, 164, 524, 243].
    EXPECT_EQ(EDictGetLong(&view.rect, A("RX1")), 14);
    EXPECT_EQ(EDictGetLong(&view.rect, A("RY1")), 164);
    EXPECT_EQ(EDictGetLong(&view.rect, A("RX2")), 538);
    EXPECT_EQ(EDictGetLong(&view.rect, A("RY2")), 407);
    // A stamp source answers its size, as the document asks when it inserts an image.
    EDict stamp = Named(30055, "SptCoStampCat");
    EDictPutShort(&stamp, A("KIND"), A("SP_GENERAL"));
    EDictPutBool(&stamp, A("NOTIFY"), false);
    ToScene(stamp);
    EXPECT_EQ(EDictGetLong(&stamp, A("RX2")) - EDictGetLong(&stamp, A("RX1")), 32);
    EXPECT_EQ(EDictGetLong(&stamp, A("RY2")) - EDictGetLong(&stamp, A("RY1")), 32);
}

TEST_F(RichTextProtocolTest, FramesAskForThePictureAndAFalseAnswerKeepsTheLastOne) {
    Wait(50);
    EXPECT_TRUE(view.draws.empty());  // hidden: nothing to draw
    EXPECT_FALSE(Drawn("PvtWrMessage", ""));

    ShowViewSprites();
    view.lines = {"hello world", "second line"};
    Wait(16);
    ASSERT_FALSE(view.draws.empty());
    ASSERT_FALSE(view.sizes.empty());
    EXPECT_EQ(view.sizes.back().width, 524);
    EXPECT_EQ(view.sizes.back().height, 243);
    EXPECT_TRUE(Drawn("PvtWrMessage", "hello world"));
    EXPECT_TRUE(Drawn("PvtWrMessage", "world\nsecond"));
    const uint16_t scene = A("ScWrWrite");
    cairo_surface_t* picture = GetSession().Canvases().Picture(scene, A("PvtWrMessage"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(PixelAt(picture, 1, 1), 0xFFFFFBF0u);

    // Nothing new from the module: the picture and its texts stay.
    view.lines = {"something else"};
    view.answer = false;
    Wait(16);
    EXPECT_TRUE(Drawn("PvtWrMessage", "hello world"));
    view.answer = true;
    view.updated = false;
    Wait(16);
    ::testing::AssertionResult kept = Drawn("PvtWrMessage", "something");
    EXPECT_FALSE(kept);
    EXPECT_NE(std::string(kept.message()).find("\"hello world\\nsecond line\""), std::string::npos) << kept.message();

    view.updated = true;
    Wait(16);
    EXPECT_TRUE(Drawn("PvtWrMessage", "something else"));
    EXPECT_FALSE(Drawn("PvtWrMessage", "hello"));
    // A snapshot asks first, so it shows what the module draws now.
    const std::size_t asked = view.draws.size();
    harbor_test::TempDir out;
    EXPECT_EQ(GetDriver().Snapshot((out.Path() / "s.png").string()), "");
    EXPECT_GT(view.draws.size(), asked);
}

TEST_F(RichTextProtocolTest, LeavingTheSceneForgetsItsPictures) {
    ShowViewSprites();
    view.lines = {"first visit"};
    Wait(16);
    EXPECT_TRUE(Drawn("PvtWrMessage", "first visit"));
    ASSERT_TRUE(GetSession().Scenes().showScene(A("ScRdRead")));
    GetSession().Settle();
    Wait(16);
    ASSERT_TRUE(GetSession().Scenes().showScene(A("ScWrWrite")));
    GetSession().Settle();
    // Entered again the sprite is hidden and unpainted until the module shows and paints it.
    ::testing::AssertionResult again = Drawn("PvtWrMessage", "first visit");
    EXPECT_FALSE(again);
    EXPECT_NE(std::string(again.message()).find("not painted"), std::string::npos) << again.message();
    EXPECT_EQ(GetSession().Canvases().Picture(A("ScWrWrite"), A("PvtWrMessage")), nullptr);
}

TEST_F(RichTextProtocolTest, StampInstancesAreMadeMovedShownAndDeleted) {
    EDict make = Named(30013, "SptCoStampCat", "SPRITENAME");
    EDictPutShort(&make, A("INAME"), A("image0"));
    EDictPutLong(&make, A("X"), 0);
    EDictPutLong(&make, A("Y"), 0);
    EDictPutLong(&make, A("Z"), 10);
    EDictPutBool(&make, A("NOTIFY"), false);
    EDictPutBool(&make, A("VISIBLE"), false);
    ToScene(make);
    EDict still = Named(30044, "image0");
    EDictPutShort(&still, A("FX"), A("Still"));
    EDictPutBool(&still, A("NOTIFY"), false);
    ToScene(still);
    GetSession().Settle();
    std::optional<harbor::SpriteInfo> made = Sprite("image0");
    ASSERT_TRUE(made);
    EXPECT_FALSE(made->visible);
    EXPECT_TRUE(made->instance);
    EXPECT_EQ(made->z, 10);
    EXPECT_EQ(made->effect, "Still");
    EXPECT_TRUE(ReadyNames().empty());  // NOTIFY false: no ready report

    // Moved by its centre, as the view places an image over the painted line.
    EDict move = Named(30020, "image0");
    EDictPutLong(&move, A("X"), 100);
    EDictPutLong(&move, A("Y"), 200);
    ToScene(move);
    EDict show = Named(30052, "image0");
    EDictPutBool(&show, A("VISIBLE"), true);
    ToScene(show);
    std::optional<harbor::SpriteInfo> shown = Sprite("image0");
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->visible);
    EXPECT_EQ(shown->rect.x, 84);
    EXPECT_EQ(shown->rect.y, 184);
    EXPECT_EQ(shown->rect.width, 32);
    EXPECT_EQ(shown->rect.height, 32);
    EXPECT_TRUE(Visible("image0"));

    EDict hide = Named(30052, "image0");
    EDictPutBool(&hide, A("VISIBLE"), false);
    ToScene(hide);
    EXPECT_TRUE(Hidden("image0"));

    // Deleted, posted as the document posts it.
    EDict gone = Named(30004, "image0");
    HxPortPost(A("ScWrWrite"), &gone, 0);
    GetSession().Settle();
    EXPECT_FALSE(Sprite("image0"));
    EXPECT_TRUE(Sprite("SptCoStampCat"));  // the source stays
}

TEST_F(RichTextProtocolTest, TheCursorIsAThinSpriteTheModuleMovesAndShows) {
    ShowViewSprites();
    EDict hide = Named(30052, "AniWrCursor");
    EDictPutBool(&hide, A("VISIBLE"), false);
    HxPortPost(A("ScWrWrite"), &hide, 1);
    EDict move = Named(30020, "AniWrCursor");
    EDictPutLong(&move, A("X"), 17 + 60);
    EDictPutLong(&move, A("Y"), 167 + 40);
    EDictPutLong(&move, A("SPEED"), 0);
    EDictPutBool(&move, A("FORCEDUPDATE"), true);
    HxPortPost(A("ScWrWrite"), &move, 1);
    Wait(1);
    std::optional<harbor::SpriteInfo> cursor = Sprite("AniWrCursor");
    ASSERT_TRUE(cursor);
    EXPECT_FALSE(cursor->visible);
    EXPECT_EQ(cursor->rect.x, 77);
    EXPECT_EQ(cursor->rect.y, 207);
    EXPECT_LE(cursor->rect.width, 4);  // a thin bar, about a line of text high
    EXPECT_GE(cursor->rect.height, 24);
    EXPECT_LE(cursor->rect.height, 40);
    EDict show = Named(30052, "AniWrCursor");
    EDictPutBool(&show, A("VISIBLE"), true);
    ToScene(show);
    EXPECT_TRUE(Visible("AniWrCursor"));
}

// Printable characters carry their virtual-key code and ASCII, with Shift where the character
// needs it; a line break is Enter (13) without ASCII.
TEST_F(RichTextProtocolTest, KeysGoToWhateverHasTheKeyboard) {
    ASSERT_TRUE(Type("EdtWrTo", "ann"));
    ASSERT_TRUE(Keys("ie"));
    EXPECT_TRUE(TextIs("EdtWrTo", "annie"));
    EXPECT_TRUE(keys.empty());

    // The write screen gives the scene itself the keyboard: FOCUS with no NAME.
    EDict focus = Record(30052);
    EDictPutBool(&focus, A("FOCUS"), true);
    ToScene(focus);
    ASSERT_TRUE(Keys("Hi!\n"));
    EXPECT_TRUE(TextIs("EdtWrTo", "annie"));
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(EDictGetLong(&keys[0], A("KEY")), 72);
    EXPECT_EQ(EDictGetLong(&keys[0], A("ASCII")), 'H');
    EXPECT_TRUE(EDictGetBool(&keys[0], A("SHIFTKEY")));
    EXPECT_EQ(EDictGetLong(&keys[1], A("KEY")), 73);
    EXPECT_EQ(EDictGetLong(&keys[1], A("ASCII")), 'i');
    EXPECT_FALSE(EDictGetBool(&keys[1], A("SHIFTKEY")));
    EXPECT_EQ(EDictGetLong(&keys[2], A("KEY")), 49);
    EXPECT_EQ(EDictGetLong(&keys[2], A("ASCII")), '!');
    EXPECT_EQ(EDictGetLong(&keys[3], A("KEY")), 13);
    EXPECT_EQ(EDictGetLong(&keys[3], A("ASCII")), 0);

    // A field clicked takes the typing again; pressing the rich text takes the keyboard from it.
    keys.clear();
    ASSERT_TRUE(Type("EdtWrTo", "!"));
    EXPECT_TRUE(TextIs("EdtWrTo", "annie!"));
    ShowViewSprites();
    ASSERT_TRUE(Click("PvtWrMessage"));
    ASSERT_TRUE(Keys("x"));
    EXPECT_TRUE(TextIs("EdtWrTo", "annie!"));
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(EDictGetLong(&keys[0], A("ASCII")), 'x');
    // Named keys through `key`, as a person presses them.
    ASSERT_TRUE(Key("PageDown"));
    ASSERT_TRUE(Key("Backspace"));
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(EDictGetLong(&keys[1], A("KEY")), 34);
    EXPECT_EQ(EDictGetLong(&keys[2], A("KEY")), 8);
}

TEST_F(RichTextProtocolTest, ScriptsTypeKeysAndCheckWhatIsDrawn) {
    ShowViewSprites();
    view.lines = {"Dear Bo,", "see you soon"};
    harbor::ScriptOutcome ok = RunText(
        "keys Dear Bo\n"
        "wait 16\n"
        "expect drawn PvtWrMessage \"Bo,\\nsee you\"\n");
    EXPECT_TRUE(ok.ok) << ok.failure;
    EXPECT_EQ(keys.size(), 7u);  // one record a key, the blank included

    harbor::ScriptOutcome bad = RunText("expect drawn PvtWrMessage \"see you later\"\n");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.failure,
              "t.harbor:1: expect drawn PvtWrMessage \"see you later\": expected drawn PvtWrMessage containing "
              "\"see you later\", found drawn PvtWrMessage \"Dear Bo,\\nsee you soon\"");

    harbor::ScriptOutcome nowhere = RunText("expect drawn PvtNothing \"x\"\n");
    EXPECT_FALSE(nowhere.ok);
    EXPECT_NE(nowhere.failure.find("no sprite PvtNothing in ScWrWrite"), std::string::npos) << nowhere.failure;
}

// The rich text's Control keys: a named key or a character after "Ctrl+", "Shift+", "Alt+".
TEST_F(RichTextProtocolTest, KeysCanBePressedWithModifiersHeld) {
    ASSERT_TRUE(Key("Ctrl+Home"));
    ASSERT_TRUE(Key("ctrl+shift+c"));
    ASSERT_TRUE(Key("Alt+Left"));
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(EDictGetLong(&keys[0], A("KEY")), 36);
    EXPECT_TRUE(EDictGetBool(&keys[0], A("CTLKEY")));
    EXPECT_FALSE(EDictGetBool(&keys[0], A("SHIFTKEY")));
    EXPECT_EQ(EDictGetLong(&keys[1], A("KEY")), 67);
    EXPECT_TRUE(EDictGetBool(&keys[1], A("CTLKEY")));
    EXPECT_TRUE(EDictGetBool(&keys[1], A("SHIFTKEY")));
    EXPECT_TRUE(EDictGetBool(&keys[2], A("ALTKEY")));
    EXPECT_FALSE(EDictGetBool(&keys[2], A("CTLKEY")));
    // A field does not take keys with Control held: they go to KeyboardPort.
    ASSERT_TRUE(Type("EdtWrTo", "ann"));
    ASSERT_TRUE(Key("Ctrl+v"));
    EXPECT_TRUE(TextIs("EdtWrTo", "ann"));
    EXPECT_EQ(keys.size(), 4u);
    harbor::Driver& driver = GetDriver();
    EXPECT_EQ(driver.Key("Ctrl+"), "key: unknown key Ctrl+");
    EXPECT_EQ(driver.Key("Hyper+a"), "key: unknown key Hyper+a");
    EXPECT_EQ(driver.Key("Ctrl+Nothing"), "key: unknown key Ctrl+Nothing");
    ASSERT_TRUE(Key("+"));  // the plus key itself, into the field
    EXPECT_TRUE(TextIs("EdtWrTo", "ann+"));
}

// Between two keys the module paints, so a key sees the layout the one before it made; the clock
// stands still.
TEST_F(RichTextProtocolTest, EachKeyIsFollowedByAFrame) {
    ShowViewSprites();
    Wait(16);
    const std::size_t before = view.draws.size();
    const uint64_t now = HxNow();
    ASSERT_TRUE(Keys("ab"));
    EXPECT_EQ(view.draws.size(), before + 2);
    ASSERT_TRUE(Key("End"));
    EXPECT_EQ(view.draws.size(), before + 3);
    EXPECT_EQ(HxNow(), now);
}

// The scenes the rich text views paint on hold what they rely on: interactive rich texts behind
// the stamp instances (layer 10) and a thin cursor in front of them.
TEST_F(RichTextProtocolTest, ContentDeclaresTheRichTextsAndTheirCursor) {
    const harbor::SceneLibrary& library = GetSession().Scenes().library();
    const std::vector<std::pair<const char*, std::vector<const char*>>> scenes = {
        {"ScWrWrite", {"PvtWrMessage"}}, {"ScRdRead", {"PvtRdMessage"}}, {"ScPrPrint", {"PvtPrMessage1", "PvtPrMessage2"}}};
    for (const auto& [scene, texts] : scenes) {
        const harbor::SceneDef* def = library.Find(A(scene));
        ASSERT_NE(def, nullptr) << scene;
        for (const char* text : texts) {
            const harbor::SpriteDef* s = def->Find(A(text));
            ASSERT_NE(s, nullptr) << scene << " " << text;
            EXPECT_EQ(s->kind, harbor::SpriteKind::RichText) << text;
            EXPECT_TRUE(s->interactive) << text;
            EXPECT_GT(s->z, 10) << text;
            EXPECT_GE(s->rect.height, 40) << text;  // at least one line
        }
        const harbor::SpriteDef* cursor = def->Find(A("AniWrCursor"));
        ASSERT_NE(cursor, nullptr) << scene;
        EXPECT_LT(cursor->z, 10) << scene;
        EXPECT_LE(cursor->rect.width, 4) << scene;
        EXPECT_FALSE(cursor->interactive) << scene;
        EXPECT_TRUE(cursor->KnowsEffect("Still")) << scene;
    }
}

TEST(RichTextScriptParseTest, KeysAndExpectDrawnAreCheckedBeforeRunning) {
    harbor::ScriptParseResult parsed = harbor::ParseScript(
        "keys hello  world\nkeys \"a \\\"b\\\"\"\nexpect drawn PvtWrMessage \"hi\"\n", "p.harbor");
    ASSERT_TRUE(parsed) << parsed.errors.front();
    ASSERT_EQ(parsed.script.commands.size(), 3u);
    EXPECT_EQ(parsed.script.commands[0].kind, harbor::CommandKind::Keys);
    EXPECT_EQ(parsed.script.commands[0].text, "hello  world");
    EXPECT_EQ(parsed.script.commands[1].text, "a \"b\"");
    EXPECT_EQ(parsed.script.commands[2].kind, harbor::CommandKind::ExpectDrawn);
    EXPECT_EQ(parsed.script.commands[2].target, "PvtWrMessage");
    EXPECT_EQ(parsed.script.commands[2].text, "hi");

    harbor::ScriptParseResult bad =
        harbor::ParseScript("keys\nkeys a \"b\"\nexpect drawn PvtWrMessage hi\nexpect drawn\n", "p.harbor");
    ASSERT_EQ(bad.errors.size(), 4u);
    EXPECT_EQ(bad.errors[0], "p.harbor:1: keys needs a text");
    EXPECT_EQ(bad.errors[1], "p.harbor:2: keys: quote the whole text, or none of it");
    EXPECT_EQ(bad.errors[2], "p.harbor:3: expect drawn needs a sprite and a quoted text");
}

}  // namespace
