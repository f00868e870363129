// The snapshot command of driver scripts: where its file goes, and that it holds the stage.
#include <gtest/gtest.h>

#include <cairo.h>

#include "driver/script.h"
#include "driver/script_runner.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"

using harbor::CommandKind;

namespace {

TEST(SnapshotParseTest, RelativeFilesLandBesideTheScript) {
    const harbor::ScriptParseResult r =
        harbor::ParseScript("snapshot first.png\nsnapshot shots/second.png\nsnapshot /abs/third.png\n",
                            "/work/sessions/signin.harbor");
    ASSERT_TRUE(r) << r.errors.front();
    ASSERT_EQ(r.script.commands.size(), 3u);
    EXPECT_EQ(r.script.commands[0].kind, CommandKind::Snapshot);
    EXPECT_EQ(r.script.commands[0].target, "/work/sessions/first.png");
    EXPECT_EQ(r.script.commands[1].target, "/work/sessions/shots/second.png");
    EXPECT_EQ(r.script.commands[2].target, "/abs/third.png");
    // A script named without a folder keeps the name as written: relative to where harbor runs.
    EXPECT_EQ(harbor::ParseScript("snapshot a.png", "s.harbor").script.commands.at(0).target, "a.png");
}

TEST(SnapshotParseTest, NeedsExactlyOneFile) {
    EXPECT_FALSE(harbor::ParseScript("snapshot", "s.harbor"));
    EXPECT_FALSE(harbor::ParseScript("snapshot a.png b.png", "s.harbor"));
}

class DriverSnapshotTest : public HarborFixture {
protected:
    DriverSnapshotTest() {
        harbor_test::WriteFakeContent(content_.Path());
        Options().module_path = FAKE_MODULE_PATH;
        Options().content_dir = content_.Path();
    }

    harbor::ScriptOutcome Run(const std::string& text) {
        harbor::ScriptParseResult parsed = harbor::ParseScript(text, (out_.Path() / "t.harbor").string());
        EXPECT_TRUE(parsed) << (parsed.errors.empty() ? "" : parsed.errors.front());
        return harbor::RunScript(parsed.script, GetDriver());
    }

    // Dark pixels of the PNG in a box.
    static int DarkPixels(const std::filesystem::path& png, int x, int y, int w, int h) {
        cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
        EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS) << png;
        int count = 0;
        if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
            const unsigned char* data = cairo_image_surface_get_data(image);
            const int stride = cairo_image_surface_get_stride(image);
            for (int j = y; j < y + h; ++j) {
                for (int i = x; i < x + w; ++i) {
                    const unsigned char* p = data + j * stride + 4 * i;
                    count += p[0] + p[1] + p[2] < 300 ? 1 : 0;
                }
            }
        }
        cairo_surface_destroy(image);
        return count;
    }

    harbor_test::TempDir content_;
    harbor_test::TempDir out_;
    harbor_test::FakeModule fake_;
};

TEST_F(DriverSnapshotTest, WritesTheStageWithTheSceneOnIt) {
    const harbor::ScriptOutcome outcome = Run("start\nsnapshot stage.png\n");
    ASSERT_TRUE(outcome.ok) << outcome.failure;
    const std::filesystem::path png = out_.Path() / "stage.png";
    ASSERT_TRUE(std::filesystem::exists(png));
    EXPECT_GT(DarkPixels(png, 10, 10, 100, 40), 10);  // the label of BtnFkAsk
    EXPECT_EQ(DarkPixels(png, 10, 160, 100, 40), 0);  // BtnFkHidden is hidden
}

TEST_F(DriverSnapshotTest, AFileThatCannotBeWrittenFailsTheScript) {
    const harbor::ScriptOutcome outcome = Run("start\nsnapshot no/such/folder/stage.png\n");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.failed_line, 2);
    EXPECT_NE(outcome.failure.find("snapshot: cannot write"), std::string::npos) << outcome.failure;
}

}  // namespace
