// The help sounds: which effects sound, where their files are (converted to the device's format
// when they differ), the scene service telling the player when a sound sprite's effect is set, and
// a program that goes on without an audio device or without the files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "scene_test_support.h"
#include "window/audio_presence.h"
#include "window/sound_player.h"

namespace {

using harbor::SoundPlayer;
using scene_test::A;

// A PCM WAV file of `frames` frames of a rising ramp.
void WriteWav(const std::filesystem::path& file, uint32_t rate, uint16_t channels, uint32_t frames) {
    std::ofstream out(file, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t bytes = frames * channels * 2u;
    out << "RIFF";
    u32(36 + bytes);
    out << "WAVEfmt ";
    u32(16);
    u16(1);
    u16(channels);
    u32(rate);
    u32(rate * channels * 2u);
    u16(static_cast<uint16_t>(channels * 2));
    u16(16);
    out << "data";
    u32(bytes);
    for (uint32_t i = 0; i < frames * channels; ++i) u16(static_cast<uint16_t>(i * 7));
}

TEST(SoundFilesTest, PlayEffectsAndFileNames) {
    for (const char* yes : {"Play", "Play1", "Play3", "Play12"}) EXPECT_TRUE(SoundPlayer::IsPlayEffect(yes)) << yes;
    for (const char* no : {"", "Up", "Playful", "play1", "Play1a", "Pla"}) EXPECT_FALSE(SoundPlayer::IsPlayEffect(no)) << no;
    EXPECT_EQ(SoundPlayer::FileFor("/s", "SndCsHelp", "Play2"), std::filesystem::path("/s/SndCsHelp-Play2.wav"));
    const auto candidates = harbor::SoundFolderCandidates("/b/harbor", "/c/content");
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0], std::filesystem::path("/c/content/sounds"));
    EXPECT_EQ(candidates[1].lexically_normal(), std::filesystem::path("/b/content/sounds"));
}

class SoundPlayerTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        sounds_ = dir_ / "sounds";
        std::filesystem::create_directories(sounds_);
    }

    std::unique_ptr<SoundPlayer> Player() {
        return std::make_unique<SoundPlayer>(
            sounds_, [this](const std::string& p) { problems_.push_back(p); },
            [this](const std::string& n) { notes_.push_back(n); });
    }

    std::filesystem::path sounds_;
    std::vector<std::string> problems_;
    std::vector<std::string> notes_;
};

TEST_F(SoundPlayerTest, PlaysTheFileOfTheEffectAndNotesMissingOnesOnce) {
    WriteWav(sounds_ / "SndTsHelp-Play1.wav", 22050, 1, 2205);
    WriteWav(sounds_ / "SndTsHelp-Play2.wav", 44100, 2, 4410);  // converted on the way
    std::ofstream(sounds_ / "SndTsHelp-Play3.wav") << "not a sound";
    auto player = Player();
    ASSERT_TRUE(player->Available()) << (problems_.empty() ? "" : problems_[0]);
    EXPECT_TRUE(player->Play("SndTsHelp", "Play1"));
    EXPECT_TRUE(player->Play("SndTsHelp", "Play2"));
    EXPECT_TRUE(notes_.empty());
    EXPECT_FALSE(player->Play("SndTsHelp", "Play3"));
    EXPECT_FALSE(player->Play("SndNone", "Play1"));
    EXPECT_FALSE(player->Play("SndNone", "Play1"));
    ASSERT_EQ(notes_.size(), 2u);
    EXPECT_NE(notes_[0].find("SndTsHelp-Play3.wav"), std::string::npos) << notes_[0];
    EXPECT_NE(notes_[1].find("SndNone-Play1.wav"), std::string::npos) << notes_[1];
    EXPECT_TRUE(problems_.empty());
}

TEST_F(SoundPlayerTest, WithoutAnAudioDeviceItSaysSoOnceAndStaysSilent) {
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    WriteWav(sounds_ / "SndTsHelp-Play1.wav", 22050, 1, 100);
    auto player = Player();
    EXPECT_FALSE(player->Available());
    EXPECT_FALSE(player->Play("SndTsHelp", "Play1"));
    EXPECT_EQ(player->Queued(), 0u);
    ASSERT_EQ(problems_.size(), 1u);
    EXPECT_NE(problems_[0].find("going on without it"), std::string::npos) << problems_[0];
}

// The scene service tells the observer about every effect a request sets; the player sounds
// only a sound sprite's Play effects.
TEST_F(SoundPlayerTest, ASoundSpritesPlayEffectPlaysItsFile) {
    WriteWav(sounds_ / "SndTsHelp-Play1.wav", 22050, 1, 100);
    StartInMain();
    auto player = Player();
    std::vector<std::string> played;
    service_->SetEffectObserver([&](const harbor::SceneState& scene, const harbor::Sprite& sprite) {
        EXPECT_EQ(scene.Atom(), A("ScTsMain"));
        played.push_back(scene_test::N(sprite.name) + " " + scene_test::N(sprite.effect) + " " +
                         (player->PlayFor(sprite) ? "played" : "silent"));
    });
    auto set_effect = [](const char* sprite, const char* effect) {
        harbor_test::Req(30044).Name(sprite).Atom("FX", effect).SendTo(A("ScTsMain"));
    };
    set_effect("SndTsHelp", "Play1");
    set_effect("SndTsHelp", "Play2");  // no file made for it
    set_effect("BtnTsGo", "Roll");
    set_effect("SndTsHelp", "Play1");  // the same effect again plays again
    set_effect("SndTsNone", "Play1");  // no such sprite: nothing set, nothing told
    EXPECT_EQ(played, (std::vector<std::string>{"SndTsHelp Play1 played", "SndTsHelp Play2 silent",
                                                "BtnTsGo Roll silent", "SndTsHelp Play1 played"}));
    service_->SetEffectObserver(nullptr);
}

// The window decides before opening the audio system whether any sound output can exist, so a
// machine without one gets a quiet note instead of the audio libraries' complaints.
class AudioPresenceTest : public ::testing::Test {
protected:
    harbor::AudioPlaces Bare() const {
        harbor::AudioPlaces places;
        places.runtime_dir = dir_.Path() / "run";
        places.devices = dir_.Path() / "snd";
        std::filesystem::create_directories(places.runtime_dir);
        std::filesystem::create_directories(places.devices);
        return places;
    }
    static void Touch(const std::filesystem::path& file) { harbor_test::WriteFile(file, ""); }
    harbor_test::TempDir dir_;
};

TEST_F(AudioPresenceTest, ACardAServerOrAChosenDriverMayPlayAndNothingElse) {
    harbor::AudioPlaces card = Bare();
    Touch(card.devices / "controlC0");
    Touch(card.devices / "pcmC0D0c");  // a capture device plays nothing
    EXPECT_NE(harbor::NoAudioOutput(card).find("no sound card"), std::string::npos);
    Touch(card.devices / "pcmC0D0p");
    EXPECT_EQ(harbor::NoAudioOutput(card), "");
    harbor::AudioPlaces server = Bare();
    Touch(server.runtime_dir / "pipewire-0");
    EXPECT_EQ(harbor::NoAudioOutput(server), "");
    harbor::AudioPlaces chosen = Bare();
    chosen.chosen_driver = "dummy";
    EXPECT_EQ(harbor::NoAudioOutput(chosen), "");
}

}  // namespace
