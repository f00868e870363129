// The window's events reach the scene service as a person meant them: the pointer through the
// letterbox onto stage pixels, double clicks counted, keys and typed text into the focused field.
#include <gtest/gtest.h>

#include <cstring>

#include "scene_test_support.h"
#include "window/input_router.h"

namespace {

using harbor::InputRouter;
using scene_test::A;
using Outcome = InputRouter::Outcome;
using Strings = std::vector<std::string>;

SDL_Event Button(uint32_t type, int32_t x, int32_t y, uint8_t clicks = 1, uint8_t button = SDL_BUTTON_LEFT) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.clicks = clicks;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Motion(int32_t x, int32_t y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event KeyDown(SDL_Keycode key, uint16_t mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event Text(const char* text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, text, sizeof e.text.text - 1);
    return e;
}

class InputRouterTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        StartInMain();
        router_ = std::make_unique<InputRouter>(*service_);
    }

    Outcome Send(const SDL_Event& e, double ratio = 1.0) { return router_->Handle(e, box_, ratio); }

    // A click at a window point of the doubled stage.
    void ClickAt(int32_t x, int32_t y, uint8_t clicks = 1) {
        EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONDOWN, x, y, clicks)), Outcome::Delivered);
        EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONUP, x, y, clicks)), Outcome::Delivered);
    }

    // Twice the stage's size, with bars 80 wide left and right.
    harbor::Letterbox box_ = harbor::FitStage(1440, 960);
    std::unique_ptr<InputRouter> router_;
};

TEST_F(InputRouterTest, AClickInTheScaledWindowLandsOnTheStagePixelBelowIt) {
    ASSERT_EQ(box_.x, 80);
    ClickAt(80 + 2 * 20, 2 * 15);
    const auto got = Delivered();
    EXPECT_EQ(Describe(got), (Strings{"TsMainPort 30027 BtnTsGo BEGIN", "TsMainPort 30036 BtnTsGo",
                                      "TsMainPort 30027 BtnTsGo END", "TsMainPort 30068",
                                      "TsMainPort 30035 BtnTsGo"}));
    EXPECT_EQ(harbor_test::Longs(got[1].record, {"X", "Y", "COUNT"}), (std::vector<int32_t>{20, 15, 1}));

    // On a high-density screen the pointer comes in window units, half the output pixels.
    box_ = harbor::FitStage(1280, 960);
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONDOWN, 21, 16), 2.0), Outcome::Delivered);
    const auto dense = Delivered();
    ASSERT_EQ(dense.size(), 2u);
    EXPECT_EQ(harbor_test::Longs(dense[1].record, {"X", "Y"}), (std::vector<int32_t>{21, 16}));
}

TEST_F(InputRouterTest, DoubleClicksCountTwoAndATripleStartsOver) {
    for (int clicks = 1; clicks <= 4; ++clicks) ClickAt(80 + 40, 30, static_cast<uint8_t>(clicks));
    std::vector<int32_t> counts;
    for (const auto& e : Delivered()) {
        if (e.record.type == 30036) counts.push_back(EDictGetLong(&e.record, A("COUNT")));
    }
    EXPECT_EQ(counts, (std::vector<int32_t>{1, 2, 1, 2}));
}

TEST_F(InputRouterTest, OtherButtonsAndTheBarsPressNothing) {
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONDOWN, 120, 30, 1, SDL_BUTTON_RIGHT)), Outcome::Ignored);
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONUP, 120, 30, 1, SDL_BUTTON_RIGHT)), Outcome::Ignored);
    EXPECT_TRUE(Delivered().empty());

    // A release without its press (the press went to another window) is dropped.
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONUP, 120, 30)), Outcome::Ignored);
    // A press in the bar presses nothing; its release is still delivered.
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONDOWN, 20, 30)), Outcome::Delivered);
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONUP, 120, 30)), Outcome::Delivered);
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30068"}));
}

TEST_F(InputRouterTest, MovesOnTheStageAndDragsIntoTheBars) {
    EXPECT_EQ(Send(Motion(20, 30)), Outcome::Ignored);  // in the bar, no button held
    EXPECT_EQ(Send(Motion(80 + 600, 400)), Outcome::Delivered);
    auto got = Delivered();
    ASSERT_EQ(Describe(got), (Strings{"TsMainPort 30019"}));
    EXPECT_EQ(harbor_test::Longs(got[0].record, {"X", "Y"}), (std::vector<int32_t>{300, 200}));

    Send(Button(SDL_MOUSEBUTTONDOWN, 120, 30));
    EXPECT_EQ(Send(Motion(10, 30)), Outcome::Delivered);  // the drag goes on off the stage
    got = Delivered();
    ASSERT_EQ(got.back().record.type, 30019);
    EXPECT_LT(EDictGetLong(&got.back().record, A("X")), 0);
}

TEST_F(InputRouterTest, ThePointerOverAButtonBeginsItsCursorAndLeavingEndsIt) {
    Send(Motion(80 + 2 * 20, 2 * 15));  // onto BtnTsGo
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30019", "TsMainPort 30027 BtnTsGo BEGIN"}));
    Send(Motion(80 + 2 * 21, 2 * 16));  // still over it: no second notice
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30019"}));
    Send(Motion(80 + 600, 400));  // onto bare stage
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30019", "TsMainPort 30027 BtnTsGo END"}));
    Send(Motion(80 + 2 * 20, 2 * 15));
    Delivered();
    EXPECT_EQ(Send(Motion(20, 30)), Outcome::Ignored);  // out into the bar: the cursor leaves too
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30027 BtnTsGo END"}));
    // After a click the release has ended the cursor; the next move over the button begins it again.
    Send(Motion(80 + 2 * 20, 2 * 15));
    ClickAt(80 + 2 * 20, 2 * 15);
    Delivered();
    Send(Motion(80 + 2 * 21, 2 * 15));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30019", "TsMainPort 30027 BtnTsGo BEGIN"}));
}

TEST_F(InputRouterTest, TextAndEditingKeysGoToTheFocusedField) {
    ClickAt(80 + 2 * 210, 2 * 110);  // EdtTsName, holding "ab"
    Delivered();
    EXPECT_EQ(Send(KeyDown(SDLK_x)), Outcome::Ignored);  // the text input event carries it
    EXPECT_EQ(Send(Text("xy")), Outcome::Delivered);
    EXPECT_EQ(Info("EdtTsName").text, "abxy");
    Send(KeyDown(SDLK_BACKSPACE));
    Send(KeyDown(SDLK_HOME));
    Send(KeyDown(SDLK_DELETE));
    EXPECT_EQ(Info("EdtTsName").text, "bx");
    Send(Text("\xc3\xa9"));  // é: no key code, typed into the field all the same
    EXPECT_EQ(Info("EdtTsName").text, "\xc3\xa9" "bx");
    Send(KeyDown(SDLK_TAB));
    Send(KeyDown(SDLK_RETURN));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30033 EdtTsName TAB", "TsMainPort 30033 EdtTsName ENTER"}));
}

TEST_F(InputRouterTest, OtherKeysReachTheKeyboardPortWithTheirModifiers) {
    EXPECT_EQ(Send(KeyDown(SDLK_c, KMOD_LCTRL)), Outcome::Delivered);
    EXPECT_EQ(Send(KeyDown(SDLK_ESCAPE)), Outcome::Delivered);
    EXPECT_EQ(Send(KeyDown(SDLK_PAGEDOWN, KMOD_RSHIFT)), Outcome::Delivered);
    EXPECT_EQ(Send(Text("q")), Outcome::Delivered);
    std::vector<std::vector<int32_t>> keys;
    for (const auto& e : Delivered()) {
        ASSERT_EQ(e.port, A("KeyboardPort"));
        keys.push_back(harbor_test::Longs(e.record, {"KEY", "CTLKEY", "SHIFTKEY"}));
    }
    EXPECT_EQ(keys, (std::vector<std::vector<int32_t>>{{67, 1, 0}, {27, 0, 0}, {34, 0, 1}, {81, 0, 0}}));
}

TEST_F(InputRouterTest, AltF4AsksToCloseAndDeliversNothing) {
    EXPECT_EQ(Send(KeyDown(SDLK_F4, KMOD_LALT)), Outcome::CloseRequested);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Send(quit), Outcome::Ignored);  // the window itself answers SDL_QUIT
    EXPECT_TRUE(Delivered().empty());
}

}  // namespace
