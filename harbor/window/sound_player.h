// The help sounds: a sound sprite's Play effect plays the WAV file made for it at build time,
// `<folder>/<Sprite>-<Effect>.wav`, through SDL audio. A new sound cuts off the one playing.
// Without an audio device, or without the file, nothing plays and the program goes on.
#ifndef HARBOR_WINDOW_SOUND_PLAYER_H
#define HARBOR_WINDOW_SOUND_PLAYER_H

#include <SDL_audio.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "scene/scene_state.h"

namespace harbor {

class SoundPlayer {
public:
    using Log = std::function<void(const std::string&)>;

    // Opens the default audio device; `problem` hears, once, why there is no sound, and `note`
    // hears each sound that is missing or unreadable.
    SoundPlayer(std::filesystem::path folder, Log problem, Log note);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    bool Available() const { return device_ != 0; }
    // True when the sound was queued.
    bool Play(std::string_view sprite, std::string_view effect);
    // Plays a sound sprite's current effect when it is a Play effect; other sprites and
    // effects are silent.
    bool PlayFor(const Sprite& sprite);
    // Bytes still waiting for the device (0 without one).
    uint32_t Queued() const;

    static std::filesystem::path FileFor(const std::filesystem::path& folder, std::string_view sprite,
                                         std::string_view effect);
    // "Play", "Play1", "Play2"...: the effects that sound.
    static bool IsPlayEffect(std::string_view effect);

private:
    // The file's samples in the device's format, read once; empty when unreadable.
    const std::vector<uint8_t>& Samples(const std::filesystem::path& file);

    std::filesystem::path folder_;
    Log note_;
    bool own_subsystem_ = false;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    std::map<std::filesystem::path, std::vector<uint8_t>> cache_;
};

// Where the sounds are looked for without --sounds, in order: beside the content
// (`<content>/sounds`), then the build tree's generated `content/sounds` next to harbor's folder.
std::vector<std::filesystem::path> SoundFolderCandidates(const std::filesystem::path& exe_dir,
                                                         const std::filesystem::path& content_dir);

}  // namespace harbor

#endif
