// The scene stack as AppPort drives it: switching, overlays, closing, and the entered and left
// notices in their order.
#include <gtest/gtest.h>

#include "scene_test_support.h"

namespace {

using scene_test::A;
using harbor_test::Req;
using Strings = std::vector<std::string>;

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
    harbor::SpriteInfo MainCover() const { return *service_->FindSprite(A("ScTsMain"), A("SptCoCover")); }
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

TEST_F(SceneStackTest, SwitchFromUnderAnOverlayLeavesEverySceneTopFirst) {
    service_->ShowScene(A("ScTsMain"));
    service_->ShowScene(A("ScTsOver"));
    Delivered();
    service_->ShowScene(A("ScTsOther"));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsOverPort 30041", "TsMainPort 30041", "TsOtherPort 30032"}));
    EXPECT_EQ(Stack(), (std::vector<uint16_t>{A("ScTsOther")}));
}

TEST_F(SceneStackTest, RefusedChangesLeaveTheStackAndNote) {
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
}

TEST_F(SceneStackTest, NamesThatAreNotScenesAreLeftToOtherServices) {
    EXPECT_FALSE(Req(30013).Name("WNSettings.dct").SendTo(A("AppPort")));
    EXPECT_FALSE(Req(30052).Name("ScTsMain").SendTo(A("AppPort")));
    EXPECT_TRUE(Stack().empty());
    EXPECT_TRUE(notes_.empty());
}

TEST_F(SceneStackTest, EnteringAgainStartsFromTheDefinition) {
    service_->ShowScene(A("ScTsMain"));
    Req(30052).Name("TxtCoMailboxName").Text("TEXT", "kite42").SendTo(A("ScTsMain"));
    EXPECT_EQ(Info("TxtCoMailboxName").text, "kite42");

    service_->ShowScene(A("ScTsOther"));
    service_->ShowScene(A("ScTsMain"));
    EXPECT_EQ(Info("TxtCoMailboxName").text, "nobody");
}

TEST_F(SceneStackTest, EachSceneHasItsOwnCopyOfTheCommonSprites) {
    service_->ShowScene(A("ScTsMain"));
    Req(30013).Atom("SPRITENAME", "SptCoCover").SendTo(A("ScTsOther"));  // a scene that is not entered still has its own state
    EXPECT_FALSE(Info("SptCoCover").visible);
    EXPECT_TRUE(service_->FindSprite(A("ScTsOther"), A("SptCoCover"))->visible);
}

TEST_F(SceneStackTest, NoticesForAClosedOverlayShowOnTheSceneBelowWithoutItsMoves) {
    service_->ShowScene(A("ScTsMain"));
    service_->ShowScene(A("ScTsOver"));
    const auto show_cover = [] { Req(30013).Atom("SPRITENAME", "SptCoCover").SendTo(A("ScTsOver")); };
    show_cover();  // open: its own cover
    EXPECT_FALSE(MainCover().visible);
    service_->CloseScene(A("ScTsOver"));
    Req(30059).Name("SptCoCover").SendTo(A("ScTsOver"));
    EXPECT_TRUE(service_->FindSprite(A("ScTsOver"), A("SptCoCover"))->visible);  // closed: not its own any more

    const harbor::Rect before = MainCover().rect;
    show_cover();
    Req(30020).Name("SptCoCover").Long("X", -115).Long("Y", -75).SendTo(A("ScTsOver"));
    EXPECT_TRUE(MainCover().visible);
    EXPECT_EQ(MainCover().rect.x, before.x);
    EXPECT_EQ(MainCover().rect.y, before.y);
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

}  // namespace
