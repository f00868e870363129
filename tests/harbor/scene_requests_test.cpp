// The scene stack as AppPort drives it (switching, overlays, closing, the entered and left notices
// in their order), and requests on a scene's port: each one's effect or answer, and the not-there
// case, which leaves the answer keys absent and notes it.
#include <gtest/gtest.h>

#include "scene_test_support.h"

namespace {

using scene_test::A;
using harbor_test::Req;
using Strings = std::vector<std::string>;

// The request that shows a sprite, or makes an instance of it when INAME is added.
Req Show(const char* sprite) { return Req(30013).Atom("SPRITENAME", sprite); }

class SceneStackTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        WriteStandard();
        EXPECT_TRUE(Start().empty());
    }

    // As the module asks: a record posted to AppPort with delay 0.
    void PostToApp(uint16_t type, const char* scene) {
        Req(type).Name(scene).PostTo(A("AppPort"));
    }

    std::vector<uint16_t> Stack() const { return service_->SceneStack(); }
};

// Requests go to ScTsMain, entered with its notice delivered.
class SceneRequestsTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        StartInMain();
    }

    static EDict ToScene(Req req) { return req.To(A("ScTsMain")); }

    // The TEXT answered for the sprite (30011 sprite text, 30008 with GET an edit field's text).
    const char* AnsweredText(uint16_t type, const char* sprite) {
        Req req(type);
        answer_ = ToScene(type == 30008 ? req.Name(sprite).Long("GET", 1) : req.Name(sprite).Text("TEXT", nullptr));
        return EDictGetText(&answer_, A("TEXT"));
    }

    // A sprite's rectangle as x, y, width, height.
    std::vector<int32_t> Box(const char* sprite) {
        const harbor::Rect r = Info(sprite).rect;
        return {r.x, r.y, r.width, r.height};
    }

    EDict answer_{};
};

TEST_F(SceneStackTest, SwitchLeavesTheOldSceneBeforeEnteringTheNew) {
    HxAdvanceTime(250);
    PostToApp(30013, "ScTsMain");
    const auto entered = Delivered();
    EXPECT_EQ(Describe(entered), (Strings{"TsMainPort 30032"}));
    EXPECT_EQ(entered.at(0).record.time, 250u);  // notices carry the clock
    EXPECT_EQ(service_->CurrentScene(), A("ScTsMain"));

    PostToApp(30013, "ScTsOther");
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30041", "TsOtherPort 30032"}));
    EXPECT_EQ(Stack(), (std::vector<uint16_t>{A("ScTsOther")}));
}

TEST_F(SceneStackTest, OverlayOpensOverTheSceneAndClosesBackWithoutDisturbingIt) {
    PostToApp(30013, "ScTsMain");
    Delivered();
    PostToApp(30013, "ScTsOver");
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsOverPort 30032"}));  // the scene below is not left
    EXPECT_EQ(Stack(), (std::vector<uint16_t>{A("ScTsMain"), A("ScTsOver")}));

    // The scene below keeps its state and still answers while covered.
    Req(30059).Name("BtnTsGo").SendTo(A("ScTsMain"));

    PostToApp(30059, "ScTsOver");
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsOverPort 30041"}));  // and not entered again
    EXPECT_EQ(service_->CurrentScene(), A("ScTsMain"));
    EXPECT_FALSE(Info("BtnTsGo").visible);
}

TEST_F(SceneStackTest, RefusedChangesLeaveTheStackAndASwitchLeavesEverySceneTopFirst) {
    service_->ShowScene(A("ScTsMain"));
    service_->ShowScene(A("ScTsOver"));
    Delivered();
    EXPECT_FALSE(service_->ShowScene(A("ScTsOver")));    // already open
    EXPECT_FALSE(service_->CloseScene(A("ScTsMain")));   // not an overlay
    EXPECT_FALSE(service_->CloseScene(A("ScTsOther")));  // not open
    EXPECT_FALSE(service_->ShowScene(A("ScTsNowhere")));
    EXPECT_TRUE(Delivered().empty());
    EXPECT_EQ(Stack(), (std::vector<uint16_t>{A("ScTsMain"), A("ScTsOver")}));
    ASSERT_EQ(notes_.size(), 4u);
    EXPECT_NE(notes_[3].find("no scene 'ScTsNowhere'"), std::string::npos);

    service_->ShowScene(A("ScTsOther"));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsOverPort 30041", "TsMainPort 30041", "TsOtherPort 30032"}));
    EXPECT_EQ(Stack(), (std::vector<uint16_t>{A("ScTsOther")}));
}

TEST_F(SceneStackTest, NamesThatAreNotScenesAreLeftToOtherServices) {
    EXPECT_FALSE(Req(30013).Name("WNSettings.dct").SendTo(A("AppPort")));
    EXPECT_FALSE(Req(30052).Name("ScTsMain").SendTo(A("AppPort")));
    EXPECT_TRUE(Stack().empty());
    EXPECT_TRUE(notes_.empty());
}

// Each scene has its own copy of the common sprites, but notices for a closed overlay show on the
// scene below; only the moves are kept off it (the address book session fails when the notices
// stay on the closed overlay).
TEST_F(SceneStackTest, EachSceneHasItsOwnCommonSpritesAndAClosedOverlaysNoticesShowBelowWithoutMoves) {
    service_->ShowScene(A("ScTsMain"));
    Show("SptCoCover").SendTo(A("ScTsOther"));  // a scene that is not entered still has its own state
    EXPECT_FALSE(Info("SptCoCover").visible);
    EXPECT_TRUE(service_->FindSprite(A("ScTsOther"), A("SptCoCover"))->visible);

    service_->ShowScene(A("ScTsOver"));
    service_->CloseScene(A("ScTsOver"));
    const harbor::Rect before = Info("SptCoCover").rect;
    Show("SptCoCover").SendTo(A("ScTsOver"));
    Req(30020).Name("SptCoCover").Long("X", -115).Long("Y", -75).SendTo(A("ScTsOver"));
    EXPECT_TRUE(Info("SptCoCover").visible);
    EXPECT_EQ(Info("SptCoCover").rect.x, before.x);
    EXPECT_EQ(Info("SptCoCover").rect.y, before.y);
}

TEST_F(SceneStackTest, DetachedServiceHearsNothingAndOnlyOneServiceHoldsThePorts) {
    harbor::SceneService second(dir_);
    second.Load();
    EXPECT_FALSE(second.Attach());
    service_->Detach();
    PostToApp(30013, "ScTsMain");
    EXPECT_TRUE(Delivered().empty());
    EXPECT_TRUE(second.Attach());
    PostToApp(30013, "ScTsMain");
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30032"}));
    EXPECT_EQ(second.CurrentScene(), A("ScTsMain"));
}

TEST_F(SceneRequestsTest, ShowMakesVisibleMovesByTheOriginAndReportsTheSpriteReady) {
    EXPECT_TRUE(Show("BtnTsHidden").Long("X", 33).Long("Y", 44).SendTo(A("ScTsMain")));
    EXPECT_TRUE(Info("BtnTsHidden").visible);
    EXPECT_EQ(Box("BtnTsHidden"), (std::vector<int32_t>{33, 44, 40, 40}));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30060 BtnTsHidden"}));

    // Without X and Y it stays where it is; NOTIFY false keeps it quiet.
    ToScene(Show("BtnTsHidden").Bool("NOTIFY", false));
    EXPECT_EQ(Info("BtnTsHidden").rect.x, 33);
    EXPECT_TRUE(Delivered().empty());

    // Positions are the origin's, and the rect keeps its offset from it.
    ToScene(Show("BtnTsPlaced").Long("X", 0).Long("Y", 0));
    EXPECT_EQ(Box("BtnTsPlaced"), (std::vector<int32_t>{200, 150, 60, 30}));
    ToScene(Req(30020).Name("BtnTsPlaced").Long("X", -115).Long("Y", -75));
    EXPECT_EQ(Box("BtnTsPlaced"), (std::vector<int32_t>{85, 75, 60, 30}));
}

TEST_F(SceneRequestsTest, HideMoveZVisibleAndEffect) {
    ToScene(Req(30059).Name("BtnTsGo"));
    EXPECT_FALSE(Info("BtnTsGo").visible);
    ToScene(Req(30052).Name("BtnTsGo").Bool("VISIBLE", true));
    EXPECT_TRUE(Info("BtnTsGo").visible);
    ToScene(Req(30020).Name("BtnTsGo").Long("X", -5).Long("Y", 300));
    EXPECT_EQ(Box("BtnTsGo"), (std::vector<int32_t>{-5, 300, 100, 40}));
    ToScene(Req(30052).Name("BtnTsGo").Long("Z", 2));
    EXPECT_EQ(Info("BtnTsGo").z, 2);

    EXPECT_EQ(Info("BtnTsGo").effect, "Up");
    ToScene(Req(30044).Name("BtnTsGo").Atom("FX", "Roll"));
    EXPECT_EQ(Info("BtnTsGo").effect, "Roll");
    EXPECT_TRUE(notes_.empty());
    EXPECT_TRUE(Delivered().empty());  // only showing reports

    // An effect the sprite does not define is set all the same, and noted.
    ToScene(Req(30044).Name("BtnTsGo").Atom("FX", "Sparkle"));
    EXPECT_EQ(Info("BtnTsGo").effect, "Sparkle");
    ASSERT_EQ(notes_.size(), 1u);
    EXPECT_NE(notes_[0].find("no effect 'Sparkle'"), std::string::npos);
}

TEST_F(SceneRequestsTest, SpriteTextAnswerStaysValidUntilTheTextChanges) {
    const char* first = AnsweredText(30011, "TxtTsBanner");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first, "Hello");
    // Other requests, even ones that add sprites, leave the answered text where it was.
    for (int i = 0; i < 50; ++i) ToScene(Show("TplTsIcon").Atom("INAME", ("IconN" + std::to_string(i)).c_str()));
    EXPECT_STREQ(first, "Hello");
    EXPECT_EQ(AnsweredText(30011, "TxtTsBanner"), first);

    ToScene(Req(30052).Name("TxtTsBanner").Text("TEXT", "Goodbye"));
    EXPECT_STREQ(AnsweredText(30011, "TxtTsBanner"), "Goodbye");
}

TEST_F(SceneRequestsTest, EditTextIsReadAndReplaced) {
    EXPECT_STREQ(AnsweredText(30008, "EdtTsName"), "ab");
    ToScene(Req(30008).Name("EdtTsName").Text("TEXT", "xyz"));
    EXPECT_STREQ(AnsweredText(30008, "EdtTsName"), "xyz");

    // The field's limit holds for replaced text too; a text sent back from its own answer works.
    ToScene(Req(30008).Name("EdtTsName").Text("TEXT", "abcdefgh"));
    const char* answered = AnsweredText(30008, "EdtTsName");
    EXPECT_STREQ(answered, "abcde");
    ToScene(Req(30008).Name("EdtTsName").Text("TEXT", answered + 1));
    EXPECT_STREQ(AnsweredText(30008, "EdtTsName"), "bcde");
}

TEST_F(SceneRequestsTest, FocusIsSetMovedAndRemoved) {
    ToScene(Req(30052).Name("EdtTsName").Bool("FOCUS", true));
    EXPECT_EQ(service_->Focus(), A("EdtTsName"));
    ToScene(Req(30052).Name("BtnTsGo").Bool("FOCUS", true));
    EXPECT_EQ(service_->Focus(), A("EdtTsName"));  // only edit fields take it
    EXPECT_EQ(notes_.size(), 1u);
    ToScene(Req(30052).Bool("FOCUS", false));
    EXPECT_EQ(service_->Focus(), 0);
    EXPECT_TRUE(Delivered().empty());  // focus set by the module is not reported back
}

TEST_F(SceneRequestsTest, InstancesFromTemplatesAndSprites) {
    ToScene(Show("TplTsIcon").Atom("INAME", "IconText0").Long("X", 70).Long("Y", 80).Long("Z", 12)
                .Bool("NOTIFY", false).Bool("VISIBLE", false));
    harbor::SpriteInfo icon = Info("IconText0");
    EXPECT_TRUE(icon.instance);
    EXPECT_EQ(icon.kind, harbor::SpriteKind::Sprite);
    EXPECT_FALSE(icon.visible);
    EXPECT_EQ(Box("IconText0"), (std::vector<int32_t>{70, 80, 32, 24}));
    EXPECT_EQ(icon.z, 12);
    EXPECT_EQ(icon.text, "icon");
    EXPECT_TRUE(Delivered().empty());

    // From an existing sprite, with the defaults: its place and layer, shown and reported.
    ToScene(Show("BtnTsGo").Atom("INAME", "BtnTsGo2"));
    EXPECT_EQ(Info("BtnTsGo2").kind, harbor::SpriteKind::Button);
    EXPECT_EQ(Info("BtnTsGo2").rect.y, 10);
    EXPECT_EQ(Info("BtnTsGo2").z, 20);
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30060 BtnTsGo2"}));

    ToScene(Req(30004).Name("IconText0"));
    EXPECT_FALSE(service_->FindSprite(A("IconText0")).has_value());
    EXPECT_TRUE(notes_.empty());

    // A template is never shown, and no instance takes a scene sprite's name.
    ToScene(Show("TplTsIcon"));
    EXPECT_FALSE(Info("TplTsIcon").visible);
    ToScene(Show("TplTsIcon").Atom("INAME", "BtnTsGo"));
    EXPECT_EQ(Info("BtnTsGo").kind, harbor::SpriteKind::Button);
    EXPECT_EQ(notes_.size(), 2u);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(SceneRequestsTest, MissingSpritesAndKeysChangeNothingAnswerNothingAndAreNoted) {
    const uint16_t types[] = {30004, 30059, 30020, 30052, 30044, 30055};
    for (uint16_t type : types) {
        EDict d = ToScene(Req(type).Name("BtnTsGhost").Long("X", 1).Atom("FX", "Up"));
        EXPECT_FALSE(EDictHasKey(&d, A("RX1"))) << type;
    }
    ToScene(Show("BtnTsGhost"));
    ToScene(Show("BtnTsGhost").Atom("INAME", "BtnTsGhost2"));

    EXPECT_EQ(AnsweredText(30011, "BtnTsGhost"), nullptr);
    EXPECT_EQ(AnsweredText(30008, "BtnTsGhost"), nullptr);
    EXPECT_EQ(AnsweredText(30008, "BtnTsGo"), nullptr);  // not an edit field
    EXPECT_EQ(notes_.size(), 11u);
    for (const std::string& note : notes_) EXPECT_EQ(note.rfind("ScTsMain ", 0), 0u) << note;
    EXPECT_NE(notes_[0].find("30004: no sprite 'BtnTsGhost'"), std::string::npos) << notes_[0];
    EXPECT_FALSE(service_->FindSprite(A("BtnTsGhost2")).has_value());
    EXPECT_TRUE(Delivered().empty());

    // Records without their keys are noted too; a record that is no scene request is not.
    ToScene(Req(30059));
    ToScene(Req(30013));
    ToScene(Req(30052).Long("Z", 1));
    EXPECT_FALSE(Req(30072).SendTo(A("ScTsMain")));
    EXPECT_EQ(notes_.size(), 14u);
}

}  // namespace
