// The snapshot command of driver scripts: where its file goes, and a file that cannot be written.
// What the picture holds is checked by the painter's and the canvas sprites' own snapshot tests.
#include <gtest/gtest.h>

#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"

namespace {

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

class DriverSnapshotTest : public HarborFixture {};

TEST_F(DriverSnapshotTest, AFileThatCannotBeWrittenFailsTheScript) {
    harbor_test::TempDir content;
    harbor_test::WriteFakeContent(content.Path());
    Options().module_path = FAKE_MODULE_PATH;
    Options().content_dir = content.Path();
    harbor_test::FakeModule fake;
    harbor_test::TempDir out;
    const harbor::ScriptParseResult parsed =
        harbor::ParseScript("start\nsnapshot no/such/folder/stage.png\n", (out.Path() / "t.harbor").string());
    ASSERT_TRUE(parsed);
    const harbor::ScriptOutcome outcome = harbor::RunScript(parsed.script, GetDriver());
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failed_line, 2);
    EXPECT_NE(outcome.failure.find("snapshot: cannot write"), std::string::npos) << outcome.failure;
}

}  // namespace
