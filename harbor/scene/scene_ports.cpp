#include "scene/scene_ports.h"

#include <array>
#include <utility>

#include "hxmsg.h"

namespace harbor {

namespace {

struct Binding {
    ScenePortReceiver* receiver = nullptr;
    uint16_t app_port = 0;
    std::array<uint16_t, kMaxScenePorts> scenes{};
    std::size_t count = 0;
};

Binding& TheBinding() {
    static Binding binding;
    return binding;
}

bool HXCALL AppPortHandler(EDict* record) {
    Binding& b = TheBinding();
    return b.receiver != nullptr && b.receiver->OnAppPort(record);
}

template <std::size_t Slot>
bool HXCALL ScenePortHandler(EDict* record) {
    Binding& b = TheBinding();
    return b.receiver != nullptr && Slot < b.count && b.receiver->OnScenePort(b.scenes[Slot], record);
}

template <std::size_t... Slots>
constexpr std::array<HxHandler, sizeof...(Slots)> MakeHandlers(std::index_sequence<Slots...>) {
    return {&ScenePortHandler<Slots>...};
}

constexpr std::array<HxHandler, kMaxScenePorts> kHandlers = MakeHandlers(std::make_index_sequence<kMaxScenePorts>());

}  // namespace

bool ScenePorts::Bind(ScenePortReceiver* receiver, uint16_t app_port, std::span<const uint16_t> scenes) {
    Binding& b = TheBinding();
    if (b.receiver != nullptr && b.receiver != receiver) return false;
    Unbind(receiver);
    b.receiver = receiver;
    b.app_port = app_port;
    HxPortAttach(app_port, &AppPortHandler);
    for (uint16_t scene : scenes) {
        if (b.count == kMaxScenePorts) break;
        b.scenes[b.count] = scene;
        HxPortAttach(scene, kHandlers[b.count]);
        ++b.count;
    }
    return true;
}

void ScenePorts::Unbind(const ScenePortReceiver* receiver) {
    Binding& b = TheBinding();
    if (b.receiver == nullptr || b.receiver != receiver) return;
    HxPortDetach(b.app_port, &AppPortHandler);
    for (std::size_t i = 0; i < b.count; ++i) HxPortDetach(b.scenes[i], kHandlers[i]);
    b = Binding{};
}

}  // namespace harbor
