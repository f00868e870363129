// SDL's keys as the scene service takes them: named keys always, character keys only with Ctrl
// or Alt (text input carries the rest), the keypad by Num Lock, and Alt+F4 as the close request.
#include <gtest/gtest.h>

#include <SDL_keyboard.h>

#include "window/key_mapping.h"

namespace {

using harbor::Key;
using harbor::KeyAction;
using harbor::MapKeyDown;

TEST(KeyMappingTest, ModifiersEitherSide) {
    const harbor::Modifiers none = harbor::ModifiersFromSdl(KMOD_NONE);
    EXPECT_FALSE(none.shift || none.ctrl || none.alt);
    for (uint16_t shift : {KMOD_LSHIFT, KMOD_RSHIFT}) EXPECT_TRUE(harbor::ModifiersFromSdl(shift).shift);
    for (uint16_t ctrl : {KMOD_LCTRL, KMOD_RCTRL}) EXPECT_TRUE(harbor::ModifiersFromSdl(ctrl).ctrl);
    for (uint16_t alt : {KMOD_LALT, KMOD_RALT}) EXPECT_TRUE(harbor::ModifiersFromSdl(alt).alt);
    // Lock keys are no modifiers.
    const harbor::Modifiers locks = harbor::ModifiersFromSdl(KMOD_CAPS | KMOD_NUM);
    EXPECT_FALSE(locks.shift || locks.ctrl || locks.alt);
    const harbor::Modifiers all = harbor::ModifiersFromSdl(KMOD_LSHIFT | KMOD_RCTRL | KMOD_LALT);
    EXPECT_TRUE(all.shift && all.ctrl && all.alt);
}

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
    }
}

TEST(KeyMappingTest, CharactersOnlyWithCtrlOrAlt) {
    for (SDL_Keycode k : {SDLK_a, SDLK_z, SDLK_1, SDLK_SPACE, SDLK_SEMICOLON, SDLK_SLASH}) {
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

TEST(KeyMappingTest, KeysWithoutAMeaningAreIgnored) {
    for (SDL_Keycode k : {SDLK_F1, SDLK_F4, SDLK_LSHIFT, SDLK_CAPSLOCK, SDLK_INSERT, SDLK_UNKNOWN}) {
        EXPECT_EQ(MapKeyDown(k, KMOD_NONE).kind, KeyAction::Kind::Ignore) << SDL_GetKeyName(k);
    }
}

TEST(KeyMappingTest, AltF4Closes) {
    EXPECT_EQ(MapKeyDown(SDLK_F4, KMOD_LALT).kind, KeyAction::Kind::CloseWindow);
    EXPECT_EQ(MapKeyDown(SDLK_F4, KMOD_RALT | KMOD_LSHIFT).kind, KeyAction::Kind::CloseWindow);
    EXPECT_EQ(MapKeyDown(SDLK_F4, KMOD_LCTRL).kind, KeyAction::Kind::Ignore);
}

TEST(KeyMappingTest, TheKeypadMovesWithNumLockOffAndTypesWithItOn) {
    EXPECT_EQ(MapKeyDown(SDLK_KP_4, KMOD_NONE).key, Key::Left);
    EXPECT_EQ(MapKeyDown(SDLK_KP_9, KMOD_NONE).key, Key::PageUp);
    EXPECT_EQ(MapKeyDown(SDLK_KP_PERIOD, KMOD_NONE).key, Key::Delete);
    EXPECT_EQ(MapKeyDown(SDLK_KP_4, KMOD_NUM).kind, KeyAction::Kind::Ignore);
    EXPECT_EQ(MapKeyDown(SDLK_KP_ENTER, KMOD_NUM).key, Key::Enter);
}

}  // namespace
