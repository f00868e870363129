// Every scene of the real content drawn as it is entered: its pictures load, and each shown
// button wears its look where it stands.
#include <gtest/gtest.h>

#include <cstdlib>

#include "render/look.h"
#include "render_test_support.h"

using render_test::Image;
using render_test::Pixel;

namespace {

class ContentScenesTest : public ::testing::Test {
protected:
    void SetUp() override {
        HxReset();
        service_ = std::make_unique<harbor::SceneService>(WRENMAIL_CONTENT_DIR);
        const std::vector<std::string> errors = service_->Load();
        ASSERT_TRUE(errors.empty()) << errors.front();
        ASSERT_TRUE(service_->Attach());
        painter_ = std::make_unique<harbor::ScenePainter>(WRENMAIL_CONTENT_DIR);
        painter_->SetProblemSink([this](const std::string& p) { problems_.push_back(p); });
    }

    void TearDown() override {
        painter_.reset();
        service_.reset();
        HxReset();
    }

    // The fill of the sprite's current look, when it has one of its own.
    static std::optional<Pixel> FillOf(const harbor::Sprite& sprite) {
        const std::string effect = harbor::AtomName(sprite.effect);
        for (const auto& [name, look] : sprite.def->effects) {
            if (name != effect) continue;
            const harbor::Look parsed = harbor::ParseLook(look);
            if (!parsed.fill || parsed.fill->a < 1 || parsed.rect) return std::nullopt;
            const auto channel = [](double v) { return static_cast<int>(std::lround(v * 255)); };
            return render_test::Rgb(channel(parsed.fill->r), channel(parsed.fill->g), channel(parsed.fill->b));
        }
        return std::nullopt;
    }

    // Checks each visible button of the top scene near its left edge, clear of the label.
    void ExpectButtonsDrawn(const Image& image, const harbor::SceneState& scene) {
        int checked = 0;
        for (const auto& sprite : scene.Sprites()) {
            if (!sprite->visible || sprite->kind != harbor::SpriteKind::Button) continue;
            const std::optional<Pixel> fill = FillOf(*sprite);
            if (!fill) continue;
            const harbor::Rect& r = sprite->rect;
            EXPECT_EQ(image.At(r.x + 4, r.y + r.height / 2), *fill) << scene.Def().name << " " << sprite->def->name;
            ++checked;
        }
        EXPECT_GT(checked, 0) << scene.Def().name;
    }

    std::unique_ptr<harbor::SceneService> service_;
    std::unique_ptr<harbor::ScenePainter> painter_;
    std::vector<std::string> problems_;
};

TEST_F(ContentScenesTest, EveryScenePaintsWithItsPicturesAndButtons) {
    const uint16_t main = render_test::A("ScWnMain");
    int scenes = 0;
    for (const auto& def : service_->Library().Scenes()) {
        if (def->name == "ScCoCommon") continue;
        // Overlays open over the mailbox, as the module opens them.
        if (def->overlay) {
            ASSERT_TRUE(service_->ShowScene(main));
        }
        ASSERT_TRUE(service_->ShowScene(def->atom)) << def->name;
        HxRunUntilIdle();
        const std::filesystem::path file =
            std::filesystem::path(::testing::TempDir()) / ("content_" + def->name + ".png");
        std::string error;
        ASSERT_TRUE(painter_->WritePng(*service_, 0, file, error)) << error;
        const Image image(cairo_image_surface_create_from_png(file.c_str()));
        // WRENMAIL_KEEP_SNAPSHOTS=DIR keeps each scene's picture for a person to look at.
        if (const char* keep = std::getenv("WRENMAIL_KEEP_SNAPSHOTS")) {
            std::filesystem::copy_file(file, std::filesystem::path(keep) / file.filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        std::filesystem::remove(file);
        ASSERT_EQ(image.Width(), harbor::kStageWidth) << def->name;
        // Buttons of scenes that show some when entered; the others are still drawn above.
        const harbor::SceneState* state = service_->Scene(def->atom);
        ASSERT_NE(state, nullptr);
        const bool shows_buttons = std::any_of(state->Sprites().begin(), state->Sprites().end(), [](const auto& s) {
            return s->visible && s->kind == harbor::SpriteKind::Button;
        });
        if (shows_buttons) ExpectButtonsDrawn(image, *state);
        ++scenes;
    }
    EXPECT_GE(scenes, 6);
    EXPECT_TRUE(problems_.empty()) << problems_.front();
}

}  // namespace
