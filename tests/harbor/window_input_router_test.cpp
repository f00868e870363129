// The window's events reach the scene service as a person meant them: the pointer through the
// letterbox onto stage pixels, double clicks counted, keys and typed text into the focused field;
// below, the letterbox and the key mapping on their own.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

#include <SDL_keyboard.h>

#include "scene_test_support.h"
#include "window/input_router.h"
#include "window/key_mapping.h"
#include "window/letterbox.h"

// SDL's events are built with designated initializers: the fields left out are meant to be zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using harbor::FitStage;
using harbor::InputRouter;
using harbor::Key;
using harbor::KeyAction;
using harbor::Letterbox;
using harbor::MapKeyDown;
using harbor::StagePoint;
using harbor::ToOutput;
using harbor::ToStage;
using scene_test::A;
using Outcome = InputRouter::Outcome;
using Strings = std::vector<std::string>;

SDL_Event Button(uint32_t type, int32_t x, int32_t y, uint8_t clicks = 1, uint8_t button = SDL_BUTTON_LEFT) {
    return {.button = {.type = type, .button = button, .clicks = clicks, .x = x, .y = y}};
}

SDL_Event Motion(int32_t x, int32_t y) { return {.motion = {.type = SDL_MOUSEMOTION, .x = x, .y = y}}; }

SDL_Event KeyEvent(SDL_Keycode key, uint16_t mod = KMOD_NONE, uint32_t type = SDL_KEYDOWN) {
    return {.key = {.type = type, .keysym = {.sym = key, .mod = mod}}};
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
    ClickAt(80 + 2 * 20, 2 * 15);
    const auto got = Delivered();
    EXPECT_EQ(Describe(got), scene_test::kGoClicked);
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

TEST_F(InputRouterTest, OtherButtonsAndTheBarsPressNothingAndAltF4AsksToClose) {
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONDOWN, 120, 30, 1, SDL_BUTTON_RIGHT)), Outcome::Ignored);
    EXPECT_EQ(Send(Button(SDL_MOUSEBUTTONUP, 120, 30, 1, SDL_BUTTON_RIGHT)), Outcome::Ignored);
    EXPECT_EQ(Send(KeyEvent(SDLK_F4, KMOD_LALT)), Outcome::CloseRequested);
    EXPECT_EQ(Send(KeyEvent(SDLK_F4, KMOD_RALT | KMOD_LSHIFT)), Outcome::CloseRequested);
    EXPECT_EQ(Send(KeyEvent(SDLK_F4, KMOD_LCTRL)), Outcome::Ignored);
    EXPECT_EQ(Send({.type = SDL_QUIT}), Outcome::Ignored);  // the window itself answers SDL_QUIT
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
    EXPECT_EQ(Send(KeyEvent(SDLK_x)), Outcome::Ignored);  // the text input event carries it
    EXPECT_EQ(Send(Text("xy")), Outcome::Delivered);
    EXPECT_EQ(Info("EdtTsName").text, "abxy");
    Send(KeyEvent(SDLK_BACKSPACE));
    Send(KeyEvent(SDLK_HOME));
    Send(KeyEvent(SDLK_DELETE));
    EXPECT_EQ(Info("EdtTsName").text, "bx");
    Send(Text("\xc3\xa9"));  // é: no key code, typed into the field all the same
    EXPECT_EQ(Info("EdtTsName").text, "\xc3\xa9" "bx");
    Send(KeyEvent(SDLK_TAB));
    Send(KeyEvent(SDLK_RETURN));
    EXPECT_EQ(Describe(Delivered()), (Strings{"TsMainPort 30033 EdtTsName TAB", "TsMainPort 30033 EdtTsName ENTER"}));
}

TEST_F(InputRouterTest, OtherKeysReachTheKeyboardPortWithTheirModifiers) {
    EXPECT_EQ(Send(KeyEvent(SDLK_c, KMOD_LCTRL)), Outcome::Delivered);
    EXPECT_EQ(Send(KeyEvent(SDLK_ESCAPE)), Outcome::Delivered);
    EXPECT_EQ(Send(KeyEvent(SDLK_PAGEDOWN, KMOD_RSHIFT)), Outcome::Delivered);
    EXPECT_EQ(Send(Text("q")), Outcome::Delivered);
    std::vector<std::vector<int32_t>> keys;
    for (const auto& e : Delivered()) {
        ASSERT_EQ(e.port, A("KeyboardPort"));
        keys.push_back(harbor_test::Longs(e.record, {"KEY", "CTLKEY", "SHIFTKEY"}));
    }
    EXPECT_EQ(keys, (std::vector<std::vector<int32_t>>{{67, 1, 0}, {27, 0, 0}, {34, 0, 1}, {81, 0, 0}}));
}

// Shift pressed on its own before a click is known at the press; its release is told too.
TEST_F(InputRouterTest, AModifierKeyOnItsOwnIsToldToTheScene) {
    EXPECT_EQ(Send(KeyEvent(SDLK_LSHIFT, KMOD_LSHIFT)), Outcome::Delivered);
    ASSERT_TRUE(service_->PointerDown(20, 15));
    Send(KeyEvent(SDLK_LSHIFT, KMOD_NONE, SDL_KEYUP));
    Send(KeyEvent(SDLK_a, KMOD_NONE, SDL_KEYUP));
    std::vector<std::pair<uint16_t, bool>> seen;
    for (const auto& e : Delivered()) {
        const uint16_t type = e.record.type;
        if (type == 30065 || type == 30036) seen.emplace_back(type, EDictGetBool(&e.record, A("SHIFTKEY")));
    }
    EXPECT_EQ(seen, (std::vector<std::pair<uint16_t, bool>>{{30065, true}, {30036, false}, {30065, false}}));
}

// SDL's keys as the scene service takes them: named keys always, character keys only with Ctrl
// or Alt (text input carries the rest), the keypad by Num Lock; Alt+F4 is the router's test above.
TEST(KeyMappingTest, NamedKeys) {
    const std::pair<SDL_Keycode, Key> named[] = {
        {SDLK_TAB, Key::Tab},          {SDLK_RETURN, Key::Enter},    {SDLK_KP_ENTER, Key::Enter},
        {SDLK_BACKSPACE, Key::Backspace}, {SDLK_DELETE, Key::Delete}, {SDLK_LEFT, Key::Left},
        {SDLK_RIGHT, Key::Right},      {SDLK_UP, Key::Up},           {SDLK_DOWN, Key::Down},
        {SDLK_HOME, Key::Home},        {SDLK_END, Key::End},         {SDLK_ESCAPE, Key::Escape},
        {SDLK_PAGEUP, Key::PageUp},    {SDLK_PAGEDOWN, Key::PageDown},
    };
    for (auto [sdl, key] : named) {
        const KeyAction plain = MapKeyDown(sdl, KMOD_NONE);
        EXPECT_EQ(plain.kind, KeyAction::Kind::Named) << SDL_GetKeyName(sdl);
        EXPECT_EQ(plain.key, key) << SDL_GetKeyName(sdl);
        const KeyAction held = MapKeyDown(sdl, KMOD_LSHIFT | KMOD_LCTRL);
        EXPECT_EQ(held.key, key);
        EXPECT_TRUE(held.modifiers.shift && held.modifiers.ctrl && !held.modifiers.alt);
        const KeyAction locked = MapKeyDown(sdl, KMOD_CAPS | KMOD_NUM);  // lock keys are no modifiers
        EXPECT_FALSE(locked.modifiers.shift || locked.modifiers.ctrl || locked.modifiers.alt);
    }
}

TEST(KeyMappingTest, CharactersOnlyWithCtrlOrAltAndKeysWithoutAMeaningNever) {
    for (SDL_Keycode k : {SDLK_a, SDLK_z, SDLK_1, SDLK_SPACE, SDLK_SEMICOLON, SDLK_SLASH, SDLK_F1, SDLK_F4, SDLK_LSHIFT,
                          SDLK_CAPSLOCK, SDLK_INSERT, SDLK_UNKNOWN}) {
        EXPECT_EQ(MapKeyDown(k, KMOD_NONE).kind, KeyAction::Kind::Ignore) << SDL_GetKeyName(k);
        EXPECT_EQ(MapKeyDown(k, KMOD_LSHIFT).kind, KeyAction::Kind::Ignore) << SDL_GetKeyName(k);
    }
    const KeyAction copy = MapKeyDown(SDLK_c, KMOD_LCTRL);
    EXPECT_EQ(copy.kind, KeyAction::Kind::Character);
    EXPECT_EQ(copy.character, 'c');
    EXPECT_TRUE(copy.modifiers.ctrl);
    EXPECT_EQ(MapKeyDown(SDLK_a, KMOD_RCTRL | KMOD_LSHIFT).character, 'A');
    // Shift with a digit keeps the key's own character; the shift travels as a modifier.
    const KeyAction digit = MapKeyDown(SDLK_7, KMOD_LALT | KMOD_LSHIFT);
    EXPECT_EQ(digit.character, '7');
    EXPECT_TRUE(digit.modifiers.alt && digit.modifiers.shift);
}

TEST(KeyMappingTest, TheKeypadMovesWithNumLockOffAndTypesWithItOn) {
    EXPECT_EQ(MapKeyDown(SDLK_KP_4, KMOD_NONE).key, Key::Left);
    EXPECT_EQ(MapKeyDown(SDLK_KP_9, KMOD_NONE).key, Key::PageUp);
    EXPECT_EQ(MapKeyDown(SDLK_KP_PERIOD, KMOD_NONE).key, Key::Delete);
    EXPECT_EQ(MapKeyDown(SDLK_KP_4, KMOD_NUM).kind, KeyAction::Kind::Ignore);
    EXPECT_EQ(MapKeyDown(SDLK_KP_ENTER, KMOD_NUM).key, Key::Enter);
}

// The letterbox: the stage as large as the window allows with its aspect kept, and the pointer
// mapped back onto the stage pixel it is over.
TEST(LetterboxTest, FitsTheStageWithItsAspectKeptAndCentresIt) {
    struct Case {
        int32_t output_width, output_height, x, y, width, height;
    };
    // The stage's own size and twice it, wider than 4:3 (bars left and right), taller (bars above
    // and below), and odd sizes, rounded without leaving the output.
    for (const Case& c : {Case{640, 480, 0, 0, 640, 480}, Case{1280, 960, 0, 0, 1280, 960},
                          Case{1920, 1080, 240, 0, 1440, 1080}, Case{640, 1000, 0, 260, 640, 480},
                          Case{801, 599, 1, 0, 799, 599}}) {
        const Letterbox box = FitStage(c.output_width, c.output_height);
        EXPECT_EQ(std::make_tuple(box.x, box.y, box.width, box.height), std::make_tuple(c.x, c.y, c.width, c.height))
            << c.output_width << "x" << c.output_height;
    }
    EXPECT_DOUBLE_EQ(FitStage(640, 480).scale, 1.0);
}

TEST(LetterboxTest, DegenerateOutputsStillGiveAStage) {
    for (auto [w, h] : {std::pair{0, 0}, std::pair{1, 1}, std::pair{-5, 300}, std::pair{3, 1000}}) {
        const Letterbox box = FitStage(w, h);
        EXPECT_TRUE(box.width >= 1 && box.height >= 1 && box.x >= 0 && box.y >= 0) << w << "x" << h;
    }
}

// Every stage pixel's centre, taken to the output and back, is the same pixel.
TEST(LetterboxTest, TheInverseFindsEveryStagePixelAgain) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{1920, 1080}, std::pair{800, 600}, std::pair{333, 777},
                        std::pair{1366, 768}, std::pair{320, 240}}) {
        const Letterbox box = FitStage(w, h);
        for (int32_t y = 0; y < harbor::stage::kHeight; y += 7) {
            for (int32_t x = 0; x < harbor::stage::kWidth; x += 5) {
                double ox = 0;
                double oy = 0;
                ToOutput(box, x + 0.5, y + 0.5, ox, oy);
                ASSERT_EQ(ToStage(box, ox, oy), (StagePoint{x, y})) << w << "x" << h << " at " << x << "," << y;
            }
        }
    }
}

TEST(LetterboxTest, TheStagesEdgesAndTheBars) {
    const Letterbox box = FitStage(1920, 1080);  // scale 2.25, bars 240 wide
    // In the bars: outside the stage on the side the bar is.
    EXPECT_FALSE(harbor::OnStage(ToStage(box, 100, 540)));
    EXPECT_LT(ToStage(box, 100, 540).x, 0);
    EXPECT_FALSE(harbor::OnStage(ToStage(box, 1800, 540)));
    EXPECT_GE(ToStage(box, 1800, 540).x, 640);
    EXPECT_TRUE(harbor::OnStage(ToStage(box, 241, 1)));
    // The last pixel is on the stage, the one just past each edge is not.
    EXPECT_TRUE(harbor::OnStage({harbor::stage::kWidth - 1, harbor::stage::kHeight - 1}));
    EXPECT_FALSE(harbor::OnStage({harbor::stage::kWidth, 0}));
    EXPECT_FALSE(harbor::OnStage({0, harbor::stage::kHeight}));
}

}  // namespace
