#include "window/audio_presence.h"

#include <cstdlib>
#include <system_error>

namespace harbor {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool HasPlaybackDevice(const std::filesystem::path& devices) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(devices, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with("pcmC") && name.ends_with("p")) return true;
    }
    return false;
}

}  // namespace

AudioPlaces AudioPlaces::FromEnvironment() {
    AudioPlaces places;
    places.chosen_driver = Environment("SDL_AUDIODRIVER");
    places.pulse_server = Environment("PULSE_SERVER");
    places.runtime_dir = Environment("XDG_RUNTIME_DIR");
    return places;
}

std::string NoAudioOutput(const AudioPlaces& places) {
    if (!places.chosen_driver.empty() || !places.pulse_server.empty()) return {};
    std::error_code ec;
    if (!places.runtime_dir.empty()) {
        for (const char* socket : {"pulse/native", "pipewire-0"}) {
            if (std::filesystem::exists(places.runtime_dir / socket, ec)) return {};
        }
    }
    if (HasPlaybackDevice(places.devices)) return {};
    return "no sound card (" + places.devices.string() + ") and no sound server";
}

}  // namespace harbor
