// Binds AppPort and the scene ports to one receiver. Port handlers are plain functions that see
// only the record, so each scene port gets a handler of its own from a fixed table; that makes
// the binding process-wide, with room for kMaxScenePorts scenes.
#ifndef HARBOR_SCENE_SCENE_PORTS_H
#define HARBOR_SCENE_SCENE_PORTS_H

#include <cstddef>
#include <cstdint>
#include <span>

#include "edict.h"

namespace harbor {

inline constexpr std::size_t kMaxScenePorts = 64;

class ScenePortReceiver {
public:
    virtual bool OnAppPort(EDict* record) = 0;
    virtual bool OnScenePort(uint16_t scene, EDict* record) = 0;

protected:
    ~ScenePortReceiver() = default;
};

class ScenePorts {
public:
    // Attaches AppPort and the scene ports (at most kMaxScenePorts) to `receiver`. False, and
    // nothing attached, when another receiver holds the binding.
    static bool Bind(ScenePortReceiver* receiver, uint16_t app_port, std::span<const uint16_t> scenes);
    // Detaches everything when `receiver` holds the binding.
    static void Unbind(const ScenePortReceiver* receiver);
};

}  // namespace harbor

#endif
