// Answers the requests that reach a scene's own port: show, instance, delete, hide, move, set
// properties, effect, text, edit text, cover, rectangle. A request naming a sprite the scene does
// not have changes nothing, leaves its answer keys absent and produces a trace note.
#ifndef HARBOR_SCENE_SCENE_REQUESTS_H
#define HARBOR_SCENE_SCENE_REQUESTS_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "edict.h"
#include "scene/scene_events.h"
#include "scene/scene_names.h"
#include "scene/scene_state.h"

namespace harbor {

// What the requests need from their surroundings.
struct SceneHooks {
    std::function<void(const std::string&)> trace;
    // A sprite a scene file does not define (a canvas sprite made through the resource service),
    // by name; null when there is none.
    std::function<std::shared_ptr<const SpriteDef>(uint16_t)> resolve;
    // Told after a request set a sprite's effect (the window plays sounds on their Play effects).
    std::function<void(const SceneState&, const Sprite&)> effect_set;
};

class SceneRequests {
public:
    SceneRequests(const SceneNames& names, const SceneEvents& events, const SceneHooks& hooks)
        : n_(names), events_(events), hooks_(hooks) {}

    // True when the record was a request of the scene port (handled or refused with a note).
    bool Handle(SceneState& scene, EDict* record) const;

private:
    void Show(SceneState& scene, const EDict* record) const;
    void MakeInstance(SceneState& scene, const EDict* record) const;
    void Delete(SceneState& scene, const EDict* record) const;
    void Hide(SceneState& scene, const EDict* record) const;
    void Move(SceneState& scene, const EDict* record) const;
    void PlaceAt(Sprite& s, const EDict* record) const;
    void Set(SceneState& scene, const EDict* record) const;
    void SetProperties(SceneState& scene, Sprite& sprite, const EDict* record) const;
    void SetEffect(SceneState& scene, const EDict* record) const;
    void AnswerText(SceneState& scene, EDict* record) const;
    void EditText(SceneState& scene, EDict* record) const;
    void Cover(SceneState& scene, const EDict* record, bool up) const;
    void AnswerRect(SceneState& scene, EDict* record) const;

    // The sprite `key` names, or null after a trace note.
    Sprite* Named(SceneState& scene, const EDict* record, uint16_t key) const;
    std::shared_ptr<const SpriteDef> Source(SceneState& scene, uint16_t name) const;
    void Note(const SceneState& scene, const EDict* record, const std::string& what) const;
    void ReadyUnlessQuiet(const SceneState& scene, const Sprite& sprite, const EDict* record) const;

    const SceneNames& n_;
    const SceneEvents& events_;
    const SceneHooks& hooks_;
};

}  // namespace harbor

#endif
