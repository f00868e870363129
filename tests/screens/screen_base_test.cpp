#include <string>
#include <vector>

#include "screens/main_screen.h"
#include "../controls/request_fields.h"
#include "module_test.h"

namespace {

// A bare screen on a scene of its own.
class ProbeScreen : public wm::PMScreenBase {
public:
    ProbeScreen(uint16_t scene, uint16_t help) {
        SetScene(scene);
        SetHelpSound(help);
    }
};

class ScreenBaseTest : public ModuleTest {
protected:
    const uint16_t scene_ = Atom("ScTsProbe");
    const uint16_t go_ = Atom("BtnTsGo");
    ProbeScreen screen_{scene_, Atom("SndTsHelp")};

    bool Handle(EDict record) { return screen_.HandleMessage(&record); }
};

using Fx = std::vector<uint16_t>;

TEST_F(ScreenBaseTest, OnlyThePointerOverAnEnabledButtonDrawsItRolledAndUp) {
    screen_.AddButton(go_, false);
    EXPECT_FALSE(Handle(Cursor(go_, atoms::BEGIN, atoms::CURSOR))) << "disabled: left to the screen";
    EXPECT_FALSE(Handle(Cursor(Atom("BtnTsOther"), atoms::BEGIN, atoms::CURSOR)));
    EXPECT_EQ(Effects(scene_, go_), (Fx{atoms::buttons::Disabled}));
    screen_.SetButtonEnabled(go_, true);
    host_.Forget();
    EXPECT_FALSE(Handle(Cursor(go_, atoms::BEGIN, Atom("PEN"))));
    EXPECT_FALSE(Handle(Cursor(go_, atoms::MIDDLE, atoms::CURSOR)));
    EXPECT_FALSE(Handle(Named(code::kClick, go_)));
    EXPECT_TRUE(host_.Requests(0).empty());
    EXPECT_TRUE(Handle(Cursor(go_, atoms::BEGIN, atoms::CURSOR)));
    EXPECT_TRUE(Handle(Cursor(go_, atoms::END, atoms::CURSOR)));
    EXPECT_EQ(Effects(scene_, go_), (Fx{atoms::buttons::Roll, atoms::buttons::Up}));
    EXPECT_EQ(Deliveries(host_.Requests(scene_, code::kSetEffect)), (Lines{"post 0", "post 0"}));
}

TEST_F(ScreenBaseTest, ASpriteRegisteredTwiceChangesOnlyItsNewerRecord) {
    screen_.AddButton(go_, true);
    screen_.AddButton(go_, true);
    screen_.SetButtonEnabled(go_, false);
    ASSERT_EQ(screen_.Buttons().Size(), 2u);
    EXPECT_EQ(screen_.Buttons().Head()->enabled, 1);
    EXPECT_EQ(screen_.Buttons().Tail()->enabled, 0);
    // The older record is still enabled, so the pointer still draws the button.
    EXPECT_TRUE(screen_.SetButtonPressed(go_, true));
    EXPECT_EQ(Effects(scene_, go_).back(), atoms::buttons::Roll);
}

TEST_F(ScreenBaseTest, HelpSoundRotatesThroughThreeEffectsAndEffectZeroPlaysTheDefault) {
    const uint16_t help = screen_.HelpSound();
    for (int i = 0; i < 4; ++i) screen_.PlayHelpSound();
    EXPECT_EQ(Effects(scene_, help), (Fx{atoms::buttons::Play1, atoms::buttons::Play2, atoms::buttons::Play3,
                                              atoms::buttons::Play1}));
    EXPECT_EQ(Deliveries(About(scene_, code::kStart, atoms::SPRITENAME, help)), Lines(4, "send 0"));
    EXPECT_EQ(screen_.HelpSoundIndex(), 1);
    const uint16_t bird = Atom("AniTsBird");
    screen_.PlaySpriteEffect(bird, 0);
    screen_.PlaySpriteEffect(bird, atoms::buttons::Play2);
    EXPECT_EQ(Effects(scene_, bird), (Fx{atoms::buttons::Play, atoms::buttons::Play2}));
}

TEST_F(ScreenBaseTest, EveryScreenRegistersTheDialogButtons) {
    wm::MainScreen main;
    std::vector<uint16_t> sprites;
    for (const wm::ButtonRecord* b = main.Buttons().Head(); b != nullptr; b = b->next) {
        EXPECT_EQ(b->enabled, 1);
        EXPECT_EQ(b->port, atoms::ports::ScWnMain);
        sprites.push_back(b->sprite);
    }
    namespace sprites_ = atoms::dialog_sprites;
    EXPECT_EQ(sprites, (std::vector<uint16_t>{sprites_::BtnCoYes, sprites_::BtnCoNo, sprites_::BtnCoOk}));
}

}  // namespace
