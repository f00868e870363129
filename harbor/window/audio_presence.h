// Whether this machine can play sound at all, decided before the audio system is opened: on a
// machine with neither a sound card nor a sound server, the system's ALSA library would print its
// failed attempts on standard error, which tells a user nothing they can act on. Without sound
// the window stays silent and says so in the trace.
#ifndef HARBOR_WINDOW_AUDIO_PRESENCE_H
#define HARBOR_WINDOW_AUDIO_PRESENCE_H

#include <filesystem>
#include <string>

namespace harbor {

struct AudioPlaces {
    std::string chosen_driver;            // SDL_AUDIODRIVER: a driver chosen by hand is tried
    std::string pulse_server;             // PULSE_SERVER
    std::filesystem::path runtime_dir;    // XDG_RUNTIME_DIR: pulse/native, pipewire-0
    std::filesystem::path devices = "/dev/snd";  // ALSA's playback devices, pcmC*D*p

    static AudioPlaces FromEnvironment();
};

// Why there is no sound output here, or "" when there may be one.
std::string NoAudioOutput(const AudioPlaces& places);

}  // namespace harbor

#endif
