// Requests on a scene's port: each one's effect or answer, and the not-there case, which leaves
// the answer keys absent and notes it.
#include <gtest/gtest.h>

#include <cstring>

#include "scene_test_support.h"

namespace {

using scene_test::A;
using Strings = std::vector<std::string>;

class SceneRequestsTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        StartInMain();
    }

    EDict Named(uint16_t type, const char* sprite, uint16_t key = A("NAME")) {
        EDict d = scene_test::Request(type);
        EDictPutShort(&d, key, A(sprite));
        return d;
    }

    bool ToScene(EDict& d) { return HxPortSend(A("ScTsMain"), &d); }

    const char* AnsweredText(uint16_t type, const char* sprite, bool get = false) {
        EDict d = scene_test::Request(type);
        if (get) EDictPutLong(&d, A("GET"), 1);
        EDictPutShort(&d, A("NAME"), A(sprite));
        if (!get) EDictPutText(&d, A("TEXT"), nullptr);
        ToScene(d);
        return EDictGetText(&d, A("TEXT"));
    }
};

TEST_F(SceneRequestsTest, ShowMakesVisibleMovesAndReportsTheSpriteReady) {
    EDict d = Named(30013, "BtnTsHidden", A("SPRITENAME"));
    EDictPutLong(&d, A("X"), 33);
    EDictPutLong(&d, A("Y"), 44);
    EXPECT_TRUE(ToScene(d));
    EXPECT_TRUE(Info("BtnTsHidden").visible);
    EXPECT_EQ(Info("BtnTsHidden").rect.x, 33);
    EXPECT_EQ(Info("BtnTsHidden").rect.y, 44);
    EXPECT_EQ(Info("BtnTsHidden").rect.width, 40);
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30060 BtnTsHidden"}));

    // Without X and Y it stays where it is; NOTIFY false keeps it quiet.
    d = Named(30013, "BtnTsHidden", A("SPRITENAME"));
    EDictPutBool(&d, A("NOTIFY"), false);
    ToScene(d);
    EXPECT_EQ(Info("BtnTsHidden").rect.x, 33);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(SceneRequestsTest, PositionsAreTheOriginAndTheRectKeepsItsOffset) {
    EDict d = Named(30013, "BtnTsPlaced", A("SPRITENAME"));
    EDictPutLong(&d, A("X"), 0);
    EDictPutLong(&d, A("Y"), 0);
    ToScene(d);
    EXPECT_EQ(Info("BtnTsPlaced").rect.x, 200);
    EXPECT_EQ(Info("BtnTsPlaced").rect.y, 150);
    d = Named(30020, "BtnTsPlaced");
    EDictPutLong(&d, A("X"), -115);
    EDictPutLong(&d, A("Y"), -75);
    ToScene(d);
    EXPECT_EQ(Info("BtnTsPlaced").rect.x, 85);
    EXPECT_EQ(Info("BtnTsPlaced").rect.y, 75);
    EXPECT_EQ(Info("BtnTsPlaced").rect.width, 60);
}

TEST_F(SceneRequestsTest, HideMoveZVisibleAndEffect) {
    EDict d = Named(30059, "BtnTsGo");
    ToScene(d);
    EXPECT_FALSE(Info("BtnTsGo").visible);

    d = Named(30052, "BtnTsGo");
    EDictPutBool(&d, A("VISIBLE"), true);
    ToScene(d);
    EXPECT_TRUE(Info("BtnTsGo").visible);

    d = Named(30020, "BtnTsGo");
    EDictPutLong(&d, A("X"), -5);
    EDictPutLong(&d, A("Y"), 300);
    ToScene(d);
    EXPECT_EQ(Info("BtnTsGo").rect.x, -5);
    EXPECT_EQ(Info("BtnTsGo").rect.y, 300);

    d = Named(30052, "BtnTsGo");
    EDictPutLong(&d, A("Z"), 2);
    ToScene(d);
    EXPECT_EQ(Info("BtnTsGo").z, 2);

    EXPECT_EQ(Info("BtnTsGo").effect, "Up");
    d = Named(30044, "BtnTsGo");
    EDictPutShort(&d, A("FX"), A("Roll"));
    ToScene(d);
    EXPECT_EQ(Info("BtnTsGo").effect, "Roll");
    EXPECT_TRUE(notes_.empty());
    EXPECT_TRUE(Delivered().empty());  // only showing reports
}

TEST_F(SceneRequestsTest, UnknownEffectIsSetButNoted) {
    EDict d = Named(30044, "BtnTsGo");
    EDictPutShort(&d, A("FX"), A("Sparkle"));
    ToScene(d);
    EXPECT_EQ(Info("BtnTsGo").effect, "Sparkle");
    ASSERT_EQ(notes_.size(), 1u);
    EXPECT_NE(notes_[0].find("no effect 'Sparkle'"), std::string::npos);
}

TEST_F(SceneRequestsTest, SpriteTextAnswerStaysValidUntilTheTextChanges) {
    const char* first = AnsweredText(30011, "TxtTsBanner");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first, "Hello");
    // Other requests, even ones that add sprites, leave the answered text where it was.
    for (int i = 0; i < 50; ++i) {
        EDict d = Named(30013, "TplTsIcon", A("SPRITENAME"));
        EDictPutShort(&d, A("INAME"), A(("IconN" + std::to_string(i)).c_str()));
        ToScene(d);
    }
    EXPECT_STREQ(first, "Hello");
    EXPECT_EQ(AnsweredText(30011, "TxtTsBanner"), first);

    EDict set = Named(30052, "TxtTsBanner");
    EDictPutText(&set, A("TEXT"), "Goodbye");
    ToScene(set);
    EXPECT_STREQ(AnsweredText(30011, "TxtTsBanner"), "Goodbye");
}

TEST_F(SceneRequestsTest, EditTextIsReadAndReplaced) {
    EXPECT_STREQ(AnsweredText(30008, "EdtTsName", true), "ab");

    EDict d = Named(30008, "EdtTsName");
    EDictPutText(&d, A("TEXT"), "xyz");
    ToScene(d);
    EXPECT_STREQ(AnsweredText(30008, "EdtTsName", true), "xyz");

    // The field's limit holds for replaced text too; a text sent back from its own answer works.
    d = Named(30008, "EdtTsName");
    EDictPutText(&d, A("TEXT"), "abcdefgh");
    ToScene(d);
    const char* answered = AnsweredText(30008, "EdtTsName", true);
    EXPECT_STREQ(answered, "abcde");
    d = Named(30008, "EdtTsName");
    EDictPutText(&d, A("TEXT"), answered + 1);
    ToScene(d);
    EXPECT_STREQ(AnsweredText(30008, "EdtTsName", true), "bcde");
}

TEST_F(SceneRequestsTest, RectangleIsAnsweredAsCorners) {
    EDict d = Named(30055, "EdtTsName");
    EDictPutShort(&d, A("KIND"), A("SP_GENERAL"));
    ToScene(d);
    EXPECT_EQ(EDictGetLong(&d, A("RX1")), 200);
    EXPECT_EQ(EDictGetLong(&d, A("RY1")), 100);
    EXPECT_EQ(EDictGetLong(&d, A("RX2")), 350);
    EXPECT_EQ(EDictGetLong(&d, A("RY2")), 124);
}

TEST_F(SceneRequestsTest, FocusIsSetMovedAndRemoved) {
    EDict d = Named(30052, "EdtTsName");
    EDictPutBool(&d, A("FOCUS"), true);
    ToScene(d);
    EXPECT_EQ(service_->Focus(), A("EdtTsName"));

    d = Named(30052, "BtnTsGo");
    EDictPutBool(&d, A("FOCUS"), true);
    ToScene(d);
    EXPECT_EQ(service_->Focus(), A("EdtTsName"));  // only edit fields take it
    EXPECT_EQ(notes_.size(), 1u);

    d = scene_test::Request(30052);
    EDictPutBool(&d, A("FOCUS"), false);
    ToScene(d);
    EXPECT_EQ(service_->Focus(), 0);
    EXPECT_TRUE(Delivered().empty());  // focus set by the module is not reported back
}

TEST_F(SceneRequestsTest, InstancesFromTemplatesAndSprites) {
    EDict d = Named(30013, "TplTsIcon", A("SPRITENAME"));
    EDictPutShort(&d, A("INAME"), A("IconText0"));
    EDictPutLong(&d, A("X"), 70);
    EDictPutLong(&d, A("Y"), 80);
    EDictPutLong(&d, A("Z"), 12);
    EDictPutBool(&d, A("NOTIFY"), false);
    EDictPutBool(&d, A("VISIBLE"), false);
    ToScene(d);
    harbor::SpriteInfo icon = Info("IconText0");
    EXPECT_TRUE(icon.instance);
    EXPECT_EQ(icon.kind, harbor::SpriteKind::Sprite);
    EXPECT_FALSE(icon.visible);
    EXPECT_EQ(icon.rect.x, 70);
    EXPECT_EQ(icon.rect.width, 32);
    EXPECT_EQ(icon.z, 12);
    EXPECT_EQ(icon.text, "icon");
    EXPECT_TRUE(Delivered().empty());

    // From an existing sprite, with the defaults: its place and layer, shown and reported.
    d = Named(30013, "BtnTsGo", A("SPRITENAME"));
    EDictPutShort(&d, A("INAME"), A("BtnTsGo2"));
    ToScene(d);
    EXPECT_EQ(Info("BtnTsGo2").kind, harbor::SpriteKind::Button);
    EXPECT_EQ(Info("BtnTsGo2").rect.y, 10);
    EXPECT_EQ(Info("BtnTsGo2").z, 20);
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30060 BtnTsGo2"}));

    d = Named(30004, "IconText0");
    ToScene(d);
    EXPECT_FALSE(service_->FindSprite(A("IconText0")).has_value());
    EXPECT_TRUE(notes_.empty());
}

TEST_F(SceneRequestsTest, TemplateIsNeverShownAndInstanceCannotTakeASceneSpritesName) {
    EDict d = Named(30013, "TplTsIcon", A("SPRITENAME"));
    ToScene(d);
    EXPECT_FALSE(Info("TplTsIcon").visible);
    d = Named(30013, "TplTsIcon", A("SPRITENAME"));
    EDictPutShort(&d, A("INAME"), A("BtnTsGo"));
    ToScene(d);
    EXPECT_EQ(Info("BtnTsGo").kind, harbor::SpriteKind::Button);
    EXPECT_EQ(notes_.size(), 2u);
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(SceneRequestsTest, ResolvedSpritesJoinTheSceneWhenShown) {
    auto canvas = std::make_shared<harbor::SpriteDef>();
    canvas->name = "PM List Box Name Number 1";
    canvas->atom = A(canvas->name.c_str());
    canvas->rect = {0, 0, 300, 200};
    canvas->interactive = true;
    service_->SetSpriteResolver([canvas](uint16_t name) {
        return name == canvas->atom ? canvas : nullptr;
    });
    EDict d = Named(30013, "PM List Box Name Number 1", A("SPRITENAME"));
    EDictPutLong(&d, A("X"), 155);
    EDictPutLong(&d, A("Y"), 180);
    EDictPutLong(&d, A("Z"), 11);
    ToScene(d);
    harbor::SpriteInfo list = Info("PM List Box Name Number 1");
    EXPECT_TRUE(list.visible);
    EXPECT_EQ(list.rect.x, 155);
    EXPECT_EQ(list.z, 11);
    EXPECT_EQ(service_->HitTest(160, 190)->sprite, canvas->atom);
}

TEST_F(SceneRequestsTest, MissingSpritesChangeNothingAnswerNothingAndAreNoted) {
    const uint16_t types[] = {30004, 30059, 30020, 30052, 30044, 30055};
    for (uint16_t type : types) {
        EDict d = Named(type, "BtnTsGhost");
        EDictPutLong(&d, A("X"), 1);
        EDictPutShort(&d, A("FX"), A("Up"));
        ToScene(d);
        EXPECT_FALSE(EDictHasKey(&d, A("RX1"))) << type;
    }
    EDict show = Named(30013, "BtnTsGhost", A("SPRITENAME"));
    ToScene(show);
    EDict copy = Named(30013, "BtnTsGhost", A("SPRITENAME"));
    EDictPutShort(&copy, A("INAME"), A("BtnTsGhost2"));
    ToScene(copy);

    EXPECT_EQ(AnsweredText(30011, "BtnTsGhost"), nullptr);
    EXPECT_EQ(AnsweredText(30008, "BtnTsGhost", true), nullptr);
    EXPECT_EQ(AnsweredText(30008, "BtnTsGo", true), nullptr);  // not an edit field
    EXPECT_EQ(notes_.size(), 11u);
    for (const std::string& note : notes_) EXPECT_EQ(note.rfind("ScTsMain ", 0), 0u) << note;
    EXPECT_NE(notes_[0].find("30004: no sprite 'BtnTsGhost'"), std::string::npos) << notes_[0];
    EXPECT_FALSE(service_->FindSprite(A("BtnTsGhost2")).has_value());
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(SceneRequestsTest, RecordsWithoutTheirKeysAreNotedNotTrusted) {
    EDict d = scene_test::Request(30059);
    ToScene(d);
    d = scene_test::Request(30013);
    ToScene(d);
    d = scene_test::Request(30052);
    EDictPutLong(&d, A("Z"), 1);
    ToScene(d);
    EXPECT_EQ(notes_.size(), 3u);
    d = scene_test::Request(30072);
    EXPECT_FALSE(ToScene(d));  // not a scene request
    EXPECT_EQ(notes_.size(), 3u);
}

}  // namespace
