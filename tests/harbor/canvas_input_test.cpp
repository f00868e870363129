// Input to a canvas sprite reaches the scene's event port, where the module's controls listen:
// the modifier keys, told before the press they belong to, and the pictures in a snapshot. The
// press, move and release records themselves are the scene service's (scene_input_test).
#include <filesystem>

#include "canvas_test_support.h"
#include "driver/driver.h"
#include "runtime/session.h"
#include "window/input_router.h"

namespace {

using namespace canvas_test;

std::vector<std::pair<uint16_t, EDict>> received;

bool HXCALL OnScenePort(EDict* record) {
    received.emplace_back(A("RtPort"), *record);
    return true;
}

bool HXCALL OnKeyboard(EDict* record) {
    received.emplace_back(A("KeyboardPort"), *record);
    return true;
}

class CanvasInputTest : public CanvasSpriteTest {
protected:
    void SetUp() override {
        CanvasSpriteTest::SetUp();
        received.clear();
        HxPortAttach(A("RtPort"), &OnScenePort);
        HxPortAttach(A("KeyboardPort"), &OnKeyboard);
        MakeCanvasSprite(A("CvList"), A("ScRtTest"), A("TestPivotUp"), {100, 50, 60, 40});
        HxRunUntilIdle();
        received.clear();
    }

    // The records of one type delivered since the last call, in order.
    std::vector<EDict> Of(uint16_t type, uint16_t port = A("RtPort")) {
        HxRunUntilIdle();
        std::vector<EDict> out;
        for (const auto& [to, record] : received) {
            if (to == port && record.type == type) out.push_back(record);
        }
        return out;
    }
};

TEST_F(CanvasInputTest, ModifierChangesReachTheSceneEventPort) {
    HxAdvanceTime(50);
    service_->HoldModifiers({.shift = true});
    service_->HoldModifiers({.shift = true});
    ASSERT_TRUE(service_->PointerDown(110, 60));
    service_->PointerUp(110, 60);
    service_->HoldModifiers({.ctrl = true});
    HxRunUntilIdle();
    std::vector<uint16_t> order;
    for (const auto& [port, record] : received) {
        if (record.type == 30065 || record.type == 30036) order.push_back(record.type);
    }
    EXPECT_EQ(order, (std::vector<uint16_t>{30065, 30036, 30065})) << "only changes are told, before the press";
    const std::vector<EDict> changes = Of(30065);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(harbor_test::Longs(changes[0], {"SHIFTKEY", "CTLKEY", "ALTKEY"}), (std::vector<int32_t>{1, 0, 0}));
    EXPECT_EQ(EDictGetTime(&changes[0]), 50u);
    EXPECT_EQ(harbor_test::Longs(changes[1], {"SHIFTKEY", "CTLKEY"}), (std::vector<int32_t>{0, 1}));
}

SDL_Event Key(uint32_t type, SDL_Keycode key, uint16_t mod) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    return e;
}

// In the window, Shift held down on its own before a click is known at the press.
TEST_F(CanvasInputTest, WindowTellsShiftPressedAndReleasedOnItsOwn) {
    harbor::InputRouter router(*service_);
    const harbor::Letterbox box;
    EXPECT_EQ(router.Handle(Key(SDL_KEYDOWN, SDLK_LSHIFT, KMOD_LSHIFT), box), harbor::InputRouter::Outcome::Delivered);
    ASSERT_TRUE(service_->PointerDown(110, 60));
    router.Handle(Key(SDL_KEYUP, SDLK_LSHIFT, KMOD_NONE), box);
    router.Handle(Key(SDL_KEYUP, SDLK_a, KMOD_NONE), box);
    HxRunUntilIdle();
    std::vector<std::pair<uint16_t, bool>> seen;
    for (const auto& [port, record] : received) {
        if (record.type == 30065 || record.type == 30036) seen.emplace_back(record.type, EDictGetBool(&record, A("SHIFTKEY")));
    }
    EXPECT_EQ(seen, (std::vector<std::pair<uint16_t, bool>>{{30065, true}, {30036, false}, {30065, false}}));
}

// The driver's snapshot paints the pictures as the module draws them at that moment.
TEST(CanvasSnapshotTest, DriverSnapshotShowsCanvasSprites) {
    HxReset();
    up_pivot = Pivot{};
    harbor_test::TempDir temp;
    const std::filesystem::path dir = temp.Path();
    harbor_test::WriteFile(dir / "scenes" / "ScCoCommon.json", R"({"scene": "ScCoCommon", "sprites": []})");
    harbor_test::WriteFile(dir / "scenes" / "ScRtTest.json",
                           R"({"scene": "ScRtTest", "eventPort": "RtPort", "background": {"fill": "#ffffff"}, "sprites": []})");
    {
        harbor::SessionOptions options;
        options.content_dir = dir;
        options.data_dir = dir / "data";
        harbor::Session session(options);
        ASSERT_TRUE(session.Scenes().ShowScene(A("ScRtTest")));
        HxPortAttach(A("TestPivotUp"), &OnUpPivot);
        MakeCanvasSprite(A("CvList"), A("ScRtTest"), A("TestPivotUp"), {100, 50, 60, 40});
        harbor::Driver driver(session);
        const std::filesystem::path png = dir / "stage.png";
        ASSERT_EQ(driver.Snapshot(png.string()), "");
        render_test::Image image(cairo_image_surface_create_from_png(png.c_str()));
        EXPECT_EQ(image.At(130, 70), render_test::Rgb(255, 0, 0));
        EXPECT_EQ(image.At(90, 70), render_test::Rgb(255, 255, 255));
        EXPECT_EQ(up_pivot.requests.size(), 1u);
    }
    HxReset();
}

}  // namespace
