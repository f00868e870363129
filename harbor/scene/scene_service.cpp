#include "scene/scene_service.h"

#include <algorithm>

#include "hxmsg.h"
#include "message_codes.h"

namespace harbor {

SceneService::SceneService(std::filesystem::path content)
    : content_(std::move(content)), events_(names_), requests_(names_, events_, hooks_) {}

SceneService::~SceneService() { Detach(); }

std::vector<std::string> SceneService::Load() {
    std::vector<std::string> errors = library_.Load(content_ / "scenes");
    states_.clear();
    stack_.clear();
    pressed_.reset();
    for (const auto& def : library_.Scenes()) {
        if (states_.size() == kMaxScenePorts) {
            errors.push_back(def->source + ": more than " + std::to_string(kMaxScenePorts) +
                             " scenes; scene '" + def->name + "' has no port");
            continue;
        }
        states_.emplace(def->atom, std::make_unique<SceneState>(def));
    }
    if (want_attached_) BindPorts();
    return errors;
}

bool SceneService::Attach() {
    want_attached_ = BindPorts();
    return want_attached_;
}

void SceneService::Detach() {
    ScenePorts::Unbind(this);
    want_attached_ = false;
}

bool SceneService::BindPorts() {
    std::vector<uint16_t> ports;
    for (const auto& [atom, state] : states_) ports.push_back(atom);
    return ScenePorts::Bind(this, names_.app_port, ports);
}

void SceneService::SetTraceSink(TraceSink sink) { hooks_.trace = std::move(sink); }

void SceneService::SetSpriteResolver(SpriteResolver resolver) { hooks_.resolve = std::move(resolver); }

void SceneService::SetEffectObserver(EffectObserver observer) { hooks_.effect_set = std::move(observer); }

// --- Scenes ---------------------------------------------------------------------------------

bool SceneService::ShowScene(uint16_t scene) {
    SceneState* state = State(scene);
    if (state == nullptr) {
        Note("AppPort: no scene '" + AtomName(scene) + "'");
        return false;
    }
    if (std::find(stack_.begin(), stack_.end(), scene) != stack_.end() && state->Def().overlay) {
        Note("AppPort: scene '" + AtomName(scene) + "' is already open");
        return false;
    }
    if (!state->Def().overlay) LeaveDownTo(0);
    stack_.push_back(scene);
    Enter(*state);
    return true;
}

bool SceneService::CloseScene(uint16_t scene) {
    const auto it = std::find(stack_.begin(), stack_.end(), scene);
    const SceneState* state = State(scene);
    if (it == stack_.end() || state == nullptr) {
        Note("AppPort: scene '" + AtomName(scene) + "' is not open");
        return false;
    }
    if (!state->Def().overlay) {
        Note("AppPort: scene '" + AtomName(scene) + "' is not open over another and does not close");
        return false;
    }
    LeaveDownTo(static_cast<std::size_t>(it - stack_.begin()));
    return true;
}

void SceneService::Enter(SceneState& scene) {
    scene.Reset();
    events_.Entered(scene.Def().event_port);
}

// Leaving comes before entering: each scene above `depth` is told, the top one first.
void SceneService::LeaveDownTo(std::size_t depth) {
    while (stack_.size() > depth) {
        if (const SceneState* s = State(stack_.back())) events_.Left(s->Def().event_port);
        stack_.pop_back();
    }
}

bool SceneService::OnAppPort(EDict* record) {
    const uint16_t type = EDictGetType(record);
    if (type != code::kStart && type != code::kStop) return false;
    const uint16_t name = EDictGetShort(record, names_.name);
    // Other services share AppPort (data dictionary resources use the same codes): names that
    // are not scenes are theirs.
    if (State(name) == nullptr) return false;
    return type == code::kStart ? ShowScene(name) : CloseScene(name);
}

bool SceneService::OnScenePort(uint16_t scene, EDict* record) {
    SceneState* state = State(scene);
    if (state == nullptr) return false;
    if (SceneState* shown = NoticeScene(*state, record)) {
        // The scene keeps its notice where its own screen puts it: a move meant for the closed
        // overlay's frame would carry it off the shown scene.
        if (EDictGetType(record) == code::kMove) return true;
        return requests_.Handle(*shown, record);
    }
    return requests_.Handle(*state, record);
}

// A module may still address its notices to an overlay it has closed (the screen stays its
// current one): the dialog, its buttons and the cover then go to the scene the child sees.
SceneState* SceneService::NoticeScene(const SceneState& scene, const EDict* record) {
    if (!scene.Def().overlay || stack_.empty() ||
        std::find(stack_.begin(), stack_.end(), scene.Def().atom) != stack_.end()) {
        return nullptr;
    }
    const uint16_t type = EDictGetType(record);
    if (type == code::kBeforeCover || type == code::kAfterCover) return Top();
    const uint16_t key = EDictHasKey(record, names_.sprite_name) ? names_.sprite_name : names_.name;
    if (!EDictHasKey(record, key)) return nullptr;
    const uint16_t sprite = EDictGetShort(record, key);
    for (const auto& common : library_.CommonSprites()) {
        if (common->atom == sprite) return Top();
    }
    return nullptr;
}

// --- Queries --------------------------------------------------------------------------------

SceneState* SceneService::State(uint16_t scene) {
    auto it = states_.find(scene);
    return it == states_.end() ? nullptr : it->second.get();
}

const SceneState* SceneService::State(uint16_t scene) const {
    auto it = states_.find(scene);
    return it == states_.end() ? nullptr : it->second.get();
}

SceneState* SceneService::Top() { return stack_.empty() ? nullptr : State(stack_.back()); }

uint16_t SceneService::CurrentScene() const { return stack_.empty() ? 0 : stack_.back(); }

const SceneState* SceneService::Scene(uint16_t scene) const { return State(scene); }

void SceneService::Touch(uint16_t scene) {
    if (SceneState* state = State(scene)) state->Touch();
}

std::optional<SpriteInfo> SceneService::FindSprite(uint16_t scene, uint16_t sprite) const {
    const SceneState* state = State(scene);
    const Sprite* s = state != nullptr ? state->Find(sprite) : nullptr;
    if (s == nullptr) return std::nullopt;
    SpriteInfo info;
    info.name = s->name;
    info.kind = s->kind;
    info.rect = s->rect;
    info.z = s->z;
    info.visible = s->visible;
    info.interactive = s->interactive;
    info.instance = s->instance;
    info.effect = s->effect != 0 ? AtomName(s->effect) : std::string();
    info.text = s->text.Text();
    info.display_text = s->DisplayText();
    info.caret = s->text.Caret();
    return info;
}

std::optional<SpriteInfo> SceneService::FindSprite(uint16_t sprite) const { return this->FindSprite(CurrentScene(), sprite); }

uint16_t SceneService::Focus() const {
    const SceneState* state = State(CurrentScene());
    return state != nullptr ? state->Focus() : 0;
}

void SceneService::Note(const std::string& what) const {
    if (hooks_.trace) hooks_.trace(what);
}

}  // namespace harbor
