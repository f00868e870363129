#include "window/sound_player.h"

#include <SDL.h>

#include <cctype>
#include <memory>

#include "scene/scene_names.h"
#include "window/audio_presence.h"

namespace harbor {

namespace {

// espeak-ng writes 22050 Hz mono 16-bit: the device is asked for the same, and SDL converts when
// the hardware differs.
SDL_AudioSpec Wanted() {
    SDL_AudioSpec want{};
    want.freq = 22050;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024;
    return want;
}

// Samples in format `from` converted to format `to`; empty when SDL cannot convert them.
std::vector<uint8_t> ConvertAudio(const uint8_t* data, uint32_t length, const SDL_AudioSpec& from,
                                  const SDL_AudioSpec& to) {
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, from.format, from.channels, from.freq, to.format, to.channels, to.freq);
    if (built < 0) return {};
    if (built == 0) return std::vector<uint8_t>(data, data + length);
    std::vector<uint8_t> buffer(static_cast<std::size_t>(length) * static_cast<std::size_t>(cvt.len_mult));
    std::copy(data, data + length, buffer.begin());
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(length);
    if (SDL_ConvertAudio(&cvt) != 0) return {};
    buffer.resize(static_cast<std::size_t>(cvt.len_cvt));
    return buffer;
}

}  // namespace

SoundPlayer::SoundPlayer(std::filesystem::path folder, Log problem, Log note)
    : folder_(std::move(folder)), note_(std::move(note)) {
    // Asking the audio system on a machine without sound makes its libraries complain on
    // standard error; the trace is enough to say Help is silent.
    if (const std::string none = NoAudioOutput(AudioPlaces::FromEnvironment()); !none.empty()) {
        if (note_) note_("no sound: " + none + "; the window stays silent");
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (problem) problem(std::string("no sound: ") + SDL_GetError() + "; going on without it");
        return;
    }
    own_subsystem_ = true;
    const SDL_AudioSpec want = Wanted();
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, 0);
    if (device_ == 0) {
        if (problem) problem(std::string("no sound (no audio device: ") + SDL_GetError() + "); going on without it");
        return;
    }
    SDL_PauseAudioDevice(device_, 0);
}

SoundPlayer::~SoundPlayer() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (own_subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::filesystem::path SoundPlayer::FileFor(const std::filesystem::path& folder, std::string_view sprite,
                                           std::string_view effect) {
    return folder / (std::string(sprite) + "-" + std::string(effect) + ".wav");
}

bool SoundPlayer::IsPlayEffect(std::string_view effect) {
    if (!effect.starts_with("Play")) return false;
    for (char c : effect.substr(4)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

uint32_t SoundPlayer::Queued() const { return device_ != 0 ? SDL_GetQueuedAudioSize(device_) : 0; }

bool SoundPlayer::Play(std::string_view sprite, std::string_view effect) {
    if (device_ == 0) return false;
    const std::vector<uint8_t>& samples = Samples(FileFor(folder_, sprite, effect));
    if (samples.empty()) return false;
    SDL_ClearQueuedAudio(device_);
    return SDL_QueueAudio(device_, samples.data(), static_cast<uint32_t>(samples.size())) == 0;
}

bool SoundPlayer::PlayFor(const Sprite& sprite) {
    if (sprite.kind != SpriteKind::Sound || sprite.effect == 0) return false;
    const std::string effect = AtomName(sprite.effect);
    return IsPlayEffect(effect) && Play(AtomName(sprite.name), effect);
}

const std::vector<uint8_t>& SoundPlayer::Samples(const std::filesystem::path& file) {
    auto [it, fresh] = cache_.try_emplace(file);
    if (!fresh) return it->second;
    SDL_AudioSpec from{};
    uint8_t* data = nullptr;
    uint32_t length = 0;
    if (SDL_LoadWAV(file.c_str(), &from, &data, &length) == nullptr) {
        if (note_) note_("no sound " + file.string() + ": " + SDL_GetError());
        return it->second;
    }
    std::unique_ptr<uint8_t, void (*)(uint8_t*)> owned(data, [](uint8_t* p) { SDL_FreeWAV(p); });
    it->second = ConvertAudio(data, length, from, spec_);
    if (it->second.empty() && note_) note_("cannot convert the sound " + file.string());
    return it->second;
}

std::vector<std::filesystem::path> SoundFolderCandidates(const std::filesystem::path& exe_dir,
                                                         const std::filesystem::path& content_dir) {
    return {content_dir / "sounds", exe_dir / ".." / "content" / "sounds"};
}

}  // namespace harbor
