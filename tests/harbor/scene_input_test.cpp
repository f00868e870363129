// Input: hit-testing by layer, the cover, pointer events and modifier changes in order, edit fields
// typed into (their text counting characters, not bytes), and keys for KeyboardPort.
#include <gtest/gtest.h>

#include <array>

#include "scene/edit_text.h"
#include "scene_test_support.h"

namespace {

using harbor::Key;
using harbor::Modifiers;
using scene_test::A;
using scene_test::kGoClicked;
using harbor_test::Req;
using Strings = std::vector<std::string>;

class SceneInputTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        StartInMain();
    }

    uint16_t HitAt(int32_t x, int32_t y) {
        std::optional<harbor::Hit> hit = service_->HitTest(x, y);
        return hit ? hit->sprite : 0;
    }

    void PressKeys(std::initializer_list<Key> keys) {
        for (Key key : keys) service_->PressKey(key);
    }

    static void ToScene(Req& req) { req.SendTo(A("ScTsMain")); }
    static void Hide(const char* sprite) { ToScene(Req(30059).Name(sprite)); }
    static void Show(const char* sprite) { ToScene(Req(30013).Atom("SPRITENAME", sprite)); }
    static void FocusOn(const char* field) { ToScene(Req(30052).Name(field).Bool("FOCUS", true)); }
    static void Cover(bool up) { ToScene(Req(up ? 30043 : 30051).Bool("ALL", true)); }

    // The keyboard records delivered, as (KEY, ASCII, SHIFTKEY, CTLKEY).
    std::vector<std::array<int32_t, 4>> Keys() {
        std::vector<std::array<int32_t, 4>> out;
        for (const scene_test::Event& e : Delivered()) {
            EXPECT_EQ(e.port, A("KeyboardPort"));
            EXPECT_EQ(e.record.type, 30024);
            EXPECT_FALSE(EDictGetBool(&e.record, A("ALTKEY")));
            out.push_back({EDictGetLong(&e.record, A("KEY")), EDictGetLong(&e.record, A("ASCII")),
                           EDictGetBool(&e.record, A("SHIFTKEY")), EDictGetBool(&e.record, A("CTLKEY"))});
        }
        return out;
    }
};

TEST_F(SceneInputTest, HitTestPicksTheNearestInteractiveVisibleSprite) {
    EXPECT_EQ(HitAt(20, 15), A("BtnTsGo"));    // only BtnTsGo; the banner above it takes no input
    EXPECT_EQ(HitAt(80, 30), A("BtnTsBack"));  // layer 10 is nearer than 20
    EXPECT_EQ(HitAt(159, 59), A("BtnTsBack"));
    EXPECT_EQ(HitAt(160, 30), 0);              // right and bottom edges are outside
    EXPECT_EQ(HitAt(420, 20), A("BtnTsHigh"));  // same layer: the later-defined one
    EXPECT_EQ(HitAt(510, 310), 0);             // hidden

    Hide("BtnTsBack");
    EXPECT_EQ(HitAt(80, 30), A("BtnTsGo"));
    ToScene(Req(30052).Name("BtnTsGo").Bool("INTERACTIVE", false));
    EXPECT_EQ(HitAt(80, 30), 0);
}

// Modifier keys are told to the scene's event port only when they change, before the press they
// belong to.
TEST_F(SceneInputTest, ClickDeliversModifiersCursorPressReleaseAndClickInOrder) {
    HxAdvanceTime(40);
    service_->HoldModifiers({.shift = true});
    service_->HoldModifiers({.shift = true});
    EXPECT_TRUE(service_->PointerDown(20, 15));
    service_->PointerUp(21, 16);
    service_->HoldModifiers({.ctrl = true});
    const auto got = Delivered();
    Strings expected = kGoClicked;
    expected.insert(expected.begin(), "TsMainPort 30065");
    expected.push_back("TsMainPort 30065");
    EXPECT_EQ(Describe(got), expected);
    EXPECT_EQ(harbor_test::Longs(got[0].record, {"SHIFTKEY", "CTLKEY", "ALTKEY"}), (std::vector<int32_t>{1, 0, 0}));
    EXPECT_EQ(harbor_test::Longs(got.back().record, {"SHIFTKEY", "CTLKEY"}), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(EDictGetShort(&got[1].record, A("CNAME")), A("CURSOR"));
    EXPECT_EQ(harbor_test::Longs(got[2].record, {"X", "Y", "COUNT"}), (std::vector<int32_t>{20, 15, 1}));
    for (const auto& e : got) EXPECT_EQ(e.record.time, 40u);
}

TEST_F(SceneInputTest, ReleaseAwayFromThePressedSpriteIsNoClick) {
    service_->PointerDown(20, 15, 2);
    service_->PointerMove(300, 400);
    service_->PointerUp(300, 400);
    const auto got = Delivered();
    EXPECT_EQ(Describe(got), (Strings{"TsMainPort 30027 BtnTsGo BEGIN", "TsMainPort 30036 BtnTsGo",
                                      "TsMainPort 30019", "TsMainPort 30027 BtnTsGo END", "TsMainPort 30068"}));
    EXPECT_EQ(EDictGetLong(&got[1].record, A("COUNT")), 2);
    EXPECT_EQ(EDictGetLong(&got[2].record, A("X")), 300);

    EXPECT_FALSE(service_->PointerDown(5, 5));  // nothing there: nothing delivered
    service_->PointerUp(5, 5);
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30068"}));

    // Released over another button: neither is clicked.
    service_->PointerDown(20, 15);
    service_->PointerMove(420, 30);
    service_->PointerUp(420, 30);
    for (const std::string& event : Describe(Delivered())) EXPECT_EQ(event.find(" 30035 "), std::string::npos) << event;
}

TEST_F(SceneInputTest, CoverBlocksEverythingBehindItFromRequestUntilTakenDown) {
    Show("BtnCoOk");
    Delivered();
    Cover(true);  // before the cover is shown, the scene is already blocked
    EXPECT_EQ(HitAt(20, 15), 0);
    EXPECT_EQ(HitAt(300, 290), A("BtnCoOk"));  // the dialog's layer is in front of the cover
    EXPECT_FALSE(service_->ClickSprite(A("BtnTsGo")));
    EXPECT_FALSE(service_->PointerDown(20, 15));
    ToScene(Req(30052).Name("BtnTsGo").Long("Z", 3));  // the cover's own layer is behind it too
    EXPECT_EQ(HitAt(20, 15), 0);
    EXPECT_FALSE(service_->ClickSprite(A("BtnTsGo")));

    Show("SptCoCover");
    Cover(false);  // announced, but the cover is still visible
    EXPECT_EQ(HitAt(20, 15), 0);
    Hide("SptCoCover");
    EXPECT_EQ(HitAt(20, 15), A("BtnTsGo"));
    EXPECT_TRUE(service_->ClickSprite(A("BtnTsGo")));
    EXPECT_EQ(Describe(Delivered()).back(), "TsMainPort 30035 BtnTsGo");
}

TEST_F(SceneInputTest, OverlayTakesInputAndTheSceneBelowOnlyWhereItIsUncovered) {
    service_->ShowScene(A("ScTsOver"));
    Delivered();
    EXPECT_EQ(service_->HitTest(310, 20)->sprite, A("BtnTsDone"));
    EXPECT_EQ(service_->HitTest(20, 15)->scene, A("ScTsMain"));  // an overlay lets the rest through
    Cover(true);  // the caller covers itself while the overlay is open
    EXPECT_FALSE(service_->HitTest(20, 15).has_value());
    service_->PointerDown(310, 20);
    service_->PointerUp(310, 20);
    EXPECT_EQ(Describe(Delivered()).back(), "TsOverPort 30035 BtnTsDone");
}

TEST_F(SceneInputTest, NamedInputGoesOnlyToSpritesThatTakeIt) {
    EXPECT_TRUE(service_->CursorBegin(A("BtnTsGo")));
    EXPECT_TRUE(service_->CursorEnd(A("BtnTsGo")));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30027 BtnTsGo BEGIN", "TsMainPort 30027 BtnTsGo END"}));
    EXPECT_FALSE(service_->ClickSprite(A("BtnTsHidden")));
    EXPECT_FALSE(service_->ClickSprite(A("TxtTsBanner")));
    EXPECT_FALSE(service_->ClickSprite(A("BtnTsOther")));  // not in the current scene
    EXPECT_FALSE(service_->CursorBegin(A("BtnTsHidden")));
    EXPECT_TRUE(Delivered().empty());
    EXPECT_EQ(notes_.size(), 4u);
}

TEST_F(SceneInputTest, ClickIntoAFieldTakesTheFocusAndReportsItOnce) {
    service_->PointerDown(210, 110);
    service_->PointerUp(210, 110);
    service_->PointerDown(210, 110);
    const auto got = Describe(Delivered());
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got[0], "TsMainPort 30033 EdtTsName FOCUS");
    EXPECT_EQ(got[6], "TsMainPort 30027 EdtTsName BEGIN");  // the second press: no report
    EXPECT_EQ(service_->Focus(), A("EdtTsName"));
}

TEST_F(SceneInputTest, TypingEditsTheFocusedFieldWithinItsLimitAndTabAndEnterAreReported) {
    FocusOn("EdtTsName");  // text "ab", caret at the end
    service_->TypeText("cdefg");
    EXPECT_EQ(Info("EdtTsName").text, "abcde");
    PressKeys({Key::Home, Key::Delete});
    service_->KeyChar('X');
    EXPECT_EQ(Info("EdtTsName").text, "Xbcde");
    PressKeys({Key::End, Key::Left, Key::Backspace, Key::Backspace});
    EXPECT_EQ(Info("EdtTsName").text, "Xbe");
    PressKeys({Key::Right, Key::Right});  // at the end already
    service_->KeyByName("z");
    EXPECT_EQ(Info("EdtTsName").text, "Xbez");
    EXPECT_TRUE(Delivered().empty());  // editing reports nothing

    // Tab and Enter are reported to the scene and leave the text as it is.
    service_->PressKey(Key::Tab);
    service_->TypeText("\n");
    service_->KeyByName("Enter");
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30033 EdtTsName TAB", "TsMainPort 30033 EdtTsName ENTER",
                                              "TsMainPort 30033 EdtTsName ENTER"}));
    EXPECT_EQ(Info("EdtTsName").text, "Xbez");
}

TEST_F(SceneInputTest, KeysWithoutAFocusedFieldGoToKeyboardPortAndUnknownOnesNowhere) {
    service_->TypeText("aZ!");
    PressKeys({Key::Backspace, Key::Left});
    EXPECT_FALSE(service_->KeyByName("Hyper"));
    EXPECT_FALSE(service_->KeyChar('\x01'));
    service_->KeyChar('c', Modifiers{false, true, false});
    const std::vector<std::array<int32_t, 4>> expected = {
        {'A', 'a', 0, 0}, {'Z', 'Z', 1, 0}, {'1', '!', 1, 0}, {8, 0, 0, 0}, {37, 0, 0, 0}, {'C', 'c', 0, 1}};
    EXPECT_EQ(Keys(), expected);
    EXPECT_EQ(notes_.size(), 1u);  // the unknown name
}

TEST_F(SceneInputTest, FieldThatCannotBeTypedIntoPassesKeysOn) {
    FocusOn("EdtTsName");
    service_->PressKey(Key::Up);  // fields do not use it
    service_->KeyChar('v', Modifiers{false, true, false});  // nor keys with Control
    EXPECT_EQ(Keys().size(), 2u);

    Hide("EdtTsName");  // a hidden field keeps the focus but takes no keys
    service_->KeyChar('q');
    EXPECT_EQ(Keys().size(), 1u);
    EXPECT_EQ(Info("EdtTsName").text, "ab");

    Show("EdtTsName");
    Delivered();
    Cover(true);  // nor does a field behind the cover
    service_->KeyChar('q');
    EXPECT_EQ(Keys().size(), 1u);
    Cover(false);
    service_->KeyChar('q');
    EXPECT_TRUE(Keys().empty());
    EXPECT_EQ(Info("EdtTsName").text, "abq");
}

// The edit text itself: limits and caret steps count characters, not bytes.
TEST(SceneEditText, InsertStopsAtTheLimitOnACharacterBoundary) {
    harbor::EditText t(4);
    EXPECT_TRUE(t.Insert("ab"));
    EXPECT_TRUE(t.Insert("\xC3\xA9\xE2\x82\xAC\xC3\xBC"));  // é € ü: only two fit
    EXPECT_EQ(t.Text(), "ab\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(t.Length(), 4u);
    EXPECT_FALSE(t.Insert("x"));
    EXPECT_EQ(t.Masked(), "****");
    // Set cuts to the limit too, and takes its own text back.
    harbor::EditText s(3);
    s.Set("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(s.Length(), 3u);
    EXPECT_EQ(s.Text().size(), 6u);
    s.Set(s.Text().c_str() + 2);
    EXPECT_EQ(s.Text(), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(s.Caret(), 4u);
}

TEST(SceneEditText, CaretStepsOverWholeCharacters) {
    harbor::EditText t;
    t.Set("a\xE2\x82\xAC" "b");  // a € b
    EXPECT_EQ(t.Caret(), 5u);
    EXPECT_TRUE(t.Left());
    EXPECT_TRUE(t.Left());
    EXPECT_EQ(t.Caret(), 1u);
    EXPECT_TRUE(t.Delete());
    EXPECT_EQ(t.Text(), "ab");
    EXPECT_TRUE(t.Right());
    EXPECT_TRUE(t.Backspace());
    EXPECT_EQ(t.Text(), "a");
    t.Home();
    EXPECT_FALSE(t.Backspace());
    EXPECT_FALSE(t.Left());
    t.End();
    EXPECT_FALSE(t.Delete());
    EXPECT_FALSE(t.Right());
}

TEST(SceneEditText, StrayBytesAreSteppedOverSafely) {
    harbor::EditText t(2);
    t.Set("\x80\x80z\xC3");
    EXPECT_EQ(t.Length(), 2u);  // the leading continuation bytes count as none
    while (t.Backspace()) {
    }
    EXPECT_EQ(t.Text(), "");
}

}  // namespace
