// The scene stack as AppPort drives it: switching, overlays, closing, and the entered and left
// notices in their order.
#include <gtest/gtest.h>

#include "scene_test_support.h"

namespace {

using scene_test::A;
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
        EDict d = scene_test::Request(type);
        EDictPutShort(&d, A("NAME"), A(scene));
        HxPortPost(A("AppPort"), &d, 0);
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
    EDict hide = scene_test::Request(30059);
    EDictPutShort(&hide, A("NAME"), A("BtnTsGo"));
    Send(A("ScTsMain"), hide);

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
    EDict d = scene_test::Request(30013);
    EDictPutShort(&d, A("NAME"), A("WNSettings.dct"));
    EXPECT_FALSE(HxPortSend(A("AppPort"), &d));
    d = scene_test::Request(30052);
    EDictPutShort(&d, A("NAME"), A("ScTsMain"));
    EXPECT_FALSE(HxPortSend(A("AppPort"), &d));
    EXPECT_TRUE(Stack().empty());
    EXPECT_TRUE(notes_.empty());
}

TEST_F(SceneStackTest, EnteringAgainStartsFromTheDefinition) {
    service_->ShowScene(A("ScTsMain"));
    EDict d = scene_test::Request(30052);
    EDictPutShort(&d, A("NAME"), A("TxtCoMailboxName"));
    EDictPutText(&d, A("TEXT"), "kite42");
    Send(A("ScTsMain"), d);
    EXPECT_EQ(Info("TxtCoMailboxName").text, "kite42");

    service_->ShowScene(A("ScTsOther"));
    service_->ShowScene(A("ScTsMain"));
    EXPECT_EQ(Info("TxtCoMailboxName").text, "nobody");
}

TEST_F(SceneStackTest, EachSceneHasItsOwnCopyOfTheCommonSprites) {
    service_->ShowScene(A("ScTsMain"));
    EDict d = scene_test::Request(30013);
    EDictPutShort(&d, A("SPRITENAME"), A("SptCoCover"));
    Send(A("ScTsOther"), d);  // a scene that is not entered still has its own state
    EXPECT_FALSE(Info("SptCoCover").visible);
    EXPECT_TRUE(service_->FindSprite(A("ScTsOther"), A("SptCoCover"))->visible);
}

TEST_F(SceneStackTest, NoticesForAClosedOverlayShowOnTheSceneBelowWithoutItsMoves) {
    service_->ShowScene(A("ScTsMain"));
    service_->ShowScene(A("ScTsOver"));
    EDict show = scene_test::Request(30013);
    EDictPutShort(&show, A("SPRITENAME"), A("SptCoCover"));
    Send(A("ScTsOver"), show);  // open: its own cover
    EXPECT_FALSE(MainCover().visible);
    service_->CloseScene(A("ScTsOver"));
    EDict hide = scene_test::Request(30059);
    EDictPutShort(&hide, A("NAME"), A("SptCoCover"));
    Send(A("ScTsOver"), hide);
    EXPECT_TRUE(service_->FindSprite(A("ScTsOver"), A("SptCoCover"))->visible);  // closed: not its own any more

    const harbor::Rect before = MainCover().rect;
    Send(A("ScTsOver"), show);
    EDict move = scene_test::Request(30020);
    EDictPutShort(&move, A("NAME"), A("SptCoCover"));
    EDictPutLong(&move, A("X"), -115);
    EDictPutLong(&move, A("Y"), -75);
    Send(A("ScTsOver"), move);
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
