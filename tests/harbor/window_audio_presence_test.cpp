// The window decides before opening the audio system whether any sound output can exist, so a
// machine without one gets a quiet note instead of the audio libraries' complaints.
#include <gtest/gtest.h>

#include <string>

#include "harbor_test_support.h"
#include "window/audio_presence.h"

namespace {

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

TEST_F(AudioPresenceTest, NoCardAndNoServerMeansNoSound) {
    harbor::AudioPlaces places = Bare();
    Touch(places.devices / "controlC0");
    Touch(places.devices / "pcmC0D0c");  // a capture device plays nothing
    EXPECT_NE(harbor::NoAudioOutput(places).find("no sound card"), std::string::npos);
}

TEST_F(AudioPresenceTest, ACardAServerOrAChosenDriverMayPlay) {
    harbor::AudioPlaces card = Bare();
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
