// Scene files: what a good file gives, the defaults, and that damaged files give messages that
// name the file (and the line) while the rest loads.
#include <gtest/gtest.h>

#include <algorithm>

#include "scene/scene_file.h"
#include "scene/scene_library.h"
#include "scene_test_support.h"

namespace {

using harbor::ParseSceneFile;
using harbor::SpriteKind;
using scene_test::A;

bool Mentions(const std::vector<std::string>& errors, const std::string& part) {
    return std::any_of(errors.begin(), errors.end(), [&](const std::string& e) { return e.find(part) != e.npos; });
}

// Names, ports, rectangles, effects, texts and templates of this file are read back through the
// scene service in the input and request tests; here the fields nothing else reads.
TEST(SceneFile, ReadsEveryFieldAndFillsDefaults) {
    const harbor::SceneFileResult r = ParseSceneFile(scene_test::kMain, "ScTsMain.json");
    ASSERT_TRUE(r.scene) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_TRUE(r.errors.empty());
    const harbor::SceneDef& s = *r.scene;
    EXPECT_FALSE(s.overlay);
    EXPECT_EQ(s.background.value("fill", ""), "#bfe3ff");
    ASSERT_EQ(s.sprites.size(), 11u);
    EXPECT_EQ(s.Find(A("TxtTsBanner"))->effect, "");  // only buttons start in a look of their own
    const harbor::SpriteDef& pass = *s.Find(A("EdtTsPass"));
    ASSERT_TRUE(pass.edit);
    EXPECT_EQ(pass.edit->max_length, 8);
    EXPECT_TRUE(pass.edit->password);
    EXPECT_EQ(s.Find(A("SndTsHelp"))->z, 10);  // the default layer
}

TEST(SceneFile, EditFieldWithoutLimitsGetsTheDefaultLimit) {
    const auto r = ParseSceneFile(R"({"scene":"ScX","eventPort":"P","sprites":[
        {"name":"EdtX","kind":"edit","font":{"family":"Times","size":14,"align":"right"}}]})", "x.json");
    ASSERT_TRUE(r.scene && r.scene->sprites.at(0)->edit && r.scene->sprites.at(0)->font);
    const harbor::SpriteDef& e = *r.scene->sprites.at(0);
    EXPECT_EQ(e.edit->max_length, harbor::kDefaultEditMaxLength);
    EXPECT_FALSE(e.edit->password);
    EXPECT_EQ(e.font->align, harbor::TextAlign::Right);
}

TEST(SceneFile, SceneLevelProblemsRejectTheFile) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[1, 2]", "one JSON object"},
        {R"({"eventPort":"P"})", "'scene' is missing"},
        {R"({"scene":"ScX"})", "'eventPort' is missing"},
        {R"({"scene":"","eventPort":"P"})", "'scene' must be a name"},
        {R"({"scene":"ScX","eventPort":"P","size":[640]})", "'size'"},
        {R"({"scene":"ScX","eventPort":"P","overlay":"yes"})", "'overlay' must be true or false"},
        {R"({"scene":"ScX","eventPort":"P","sprites":{}})", "'sprites' must be an array"},
        {"", "x.json:1:1"},
    };
    for (const Case& c : cases) {
        const auto r = ParseSceneFile(c.text, "x.json");
        EXPECT_FALSE(r.scene) << c.text;
        EXPECT_TRUE(Mentions(r.errors, c.expected)) << c.text << " gave " << (r.errors.empty() ? "" : r.errors[0]);
        EXPECT_TRUE(Mentions(r.errors, "x.json")) << c.text;
    }
}

TEST(SceneFile, BadSpriteIsDroppedAloneAndNamed) {
    const auto r = ParseSceneFile(R"({"scene":"ScX","eventPort":"P","sprites":[
        {"name":"BtnA","kind":"button"},
        {"name":"BtnB","kind":"button","rect":[1,2,-3,4]},
        {"name":"BtnC","kind":"gadget"},
        {"kind":"text"},
        {"name":"TplD","kind":"template"},
        {"name":"BtnA","kind":"text"},
        {"name":"EdtE","kind":"edit","edit":{"maxLength":-1}},
        {"name":"SndF","kind":"sound","effects":{"Play":3}},
        {"name":"TxtG","kind":"text","z":2147483648},
        {"name":"TxtH","kind":"text","z":-5,"rect":[-10,-10,5,5]}]})",
                                  "x.json");
    ASSERT_TRUE(r.scene);
    ASSERT_EQ(r.scene->sprites.size(), 2u);
    EXPECT_EQ(r.scene->sprites[0]->name, "BtnA");
    EXPECT_EQ(r.scene->sprites[0]->kind, SpriteKind::Button);  // the first of two same names stays
    EXPECT_EQ(r.scene->sprites[1]->name, "TxtH");
    EXPECT_EQ(r.scene->sprites[1]->rect.x, -10);
    ASSERT_EQ(r.errors.size(), 8u);
    for (const char* part : {"sprite 2 'BtnB': field 'rect'", "unknown kind 'gadget'", "sprite 4 field 'name' is missing",
                             "'TplD': a template needs 'of'", "'BtnA': a second sprite", "'EdtE': edit: field 'maxLength'",
                             "effect 'Play' must be an object", "'TxtG': field 'z'"}) {
        EXPECT_TRUE(Mentions(r.errors, part)) << part;
    }
}

TEST(SceneFile, HostileSizesAreRefusedWithoutCrashing) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const auto nested = ParseSceneFile(deep, "deep.json");
    EXPECT_FALSE(nested.scene);
    EXPECT_TRUE(Mentions(nested.errors, "nested deeper"));

    harbor::SceneFileLimits small;
    small.max_bytes = 16;
    EXPECT_TRUE(Mentions(ParseSceneFile(scene_test::kMain, "big.json", false, small).errors, "larger than"));

    small = {};
    small.max_sprites = 3;
    const auto many = ParseSceneFile(scene_test::kMain, "many.json", false, small);
    ASSERT_TRUE(many.scene);
    EXPECT_EQ(many.scene->sprites.size(), 3u);
    EXPECT_TRUE(Mentions(many.errors, "more than 3 sprites"));
}

class SceneLibraryTest : public scene_test::SceneTest {};

TEST_F(SceneLibraryTest, CommonSpritesJoinEveryScene_AScenesOwnSpriteWins) {
    WriteStandard();
    Write("ScTsOwn.json", R"({"scene":"ScTsOwn","eventPort":"P","sprites":[
        {"name":"BtnCoOk","kind":"button","rect":[1,1,1,1],"z":7}]})");
    harbor::SceneLibrary library;
    EXPECT_TRUE(library.Load(dir_ / "scenes").empty());
    ASSERT_EQ(library.Scenes().size(), 4u);  // the common file is not a scene
    EXPECT_EQ(library.Find(A("ScCoCommon")), nullptr);
    const harbor::SceneDef* other = library.Find(A("ScTsOther"));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->sprites.size(), 4u);
    EXPECT_NE(other->Find(A("SptCoCover")), nullptr);
    EXPECT_EQ(other->CoverLayer(), 3);
    const harbor::SceneDef* own = library.Find(A("ScTsOwn"));
    EXPECT_EQ(own->Find(A("BtnCoOk"))->z, 7);
    EXPECT_EQ(own->sprites.size(), 3u);
}

TEST_F(SceneLibraryTest, DamagedAndMissingFilesAreReportedAndTheRestLoads) {
    Write("ScTsMain.json", scene_test::kMain);
    Write("ScTsBroken.json", "{\"scene\": \"ScTsBroken\",\n\"eventPort\": \"P\",,\n}");
    Write("ScTsZCopy.json", R"({"scene":"ScTsMain","eventPort":"P"})");
    Write("notes.txt", "not a scene");
    harbor::SceneLibrary library;
    const std::vector<std::string> errors = library.Load(dir_ / "scenes");
    EXPECT_TRUE(Mentions(errors, "ScCoCommon.json: missing"));
    EXPECT_TRUE(Mentions(errors, "ScTsBroken.json:2:18:"));
    EXPECT_TRUE(Mentions(errors, "ScTsZCopy.json: scene 'ScTsMain' is already loaded"));
    EXPECT_EQ(errors.size(), 3u);
    ASSERT_EQ(library.Scenes().size(), 1u);
    EXPECT_EQ(library.Scenes()[0]->name, "ScTsMain");

    // A missing folder is one error and no scenes, not a crash.
    harbor::SceneLibrary none;
    const std::vector<std::string> missing = none.Load(dir_ / "nowhere");
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_TRUE(Mentions(missing, "nowhere: cannot read the scene folder"));
    EXPECT_TRUE(none.Scenes().empty());
}

TEST_F(SceneLibraryTest, ServiceLoadReportsProblemsAndServesWhatLoaded) {
    Write("ScCoCommon.json", "{ broken");
    Write("ScTsOther.json", scene_test::kOther);
    const std::vector<std::string> errors = Start();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_TRUE(Mentions(errors, "ScCoCommon.json:1:3:"));
    EXPECT_TRUE(service_->ShowScene(A("ScTsOther")));
    EXPECT_TRUE(service_->FindSprite(A("BtnTsOther")).has_value());
    EXPECT_FALSE(service_->FindSprite(A("SptCoCover")).has_value());
}

}  // namespace
