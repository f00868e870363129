#include "scene/scene_state.h"

#include <algorithm>

#include "scene/scene_names.h"

namespace harbor {

bool Nearer(const Sprite& a, const Sprite& b) {
    if (a.z != b.z) return a.z < b.z;
    return a.order > b.order;
}

SceneState::SceneState(std::shared_ptr<const SceneDef> def) : def_(std::move(def)) { Reset(); }

std::unique_ptr<Sprite> SceneState::Make(std::shared_ptr<const SpriteDef> def, uint16_t name) {
    auto s = std::make_unique<Sprite>();
    s->name = name;
    s->kind = def->instance_kind;
    s->rect = def->rect;
    s->z = def->z;
    // A template is never shown itself; what is made from it takes its `visible`.
    s->visible = def->visible && def->kind != SpriteKind::Template;
    s->interactive = def->interactive;
    s->effect = def->effect.empty() ? 0 : harbor::Atom(def->effect.c_str());
    s->text = EditText(def->edit ? static_cast<std::size_t>(def->edit->max_length) : EditText::kUnlimited);
    s->text.Set(def->text);
    s->order = next_order_++;
    s->def = std::move(def);
    return s;
}

void SceneState::Reset() {
    sprites_.clear();
    next_order_ = 0;
    for (const auto& def : def_->sprites) sprites_.push_back(Make(def, def->atom));
    focus_ = 0;
    cover_requested_ = false;
    Touch();
}

Sprite* SceneState::Find(uint16_t name) {
    if (name == 0) return nullptr;
    for (auto& s : sprites_) {
        if (s->name == name) return s.get();
    }
    return nullptr;
}

const Sprite* SceneState::Find(uint16_t name) const { return const_cast<SceneState*>(this)->Find(name); }

Sprite* SceneState::AddInstance(std::shared_ptr<const SpriteDef> def, uint16_t name) {
    if (name == 0) return nullptr;
    if (const Sprite* old = Find(name)) {
        if (!old->instance) return nullptr;
        Remove(name);
    }
    std::unique_ptr<Sprite> s = Make(std::move(def), name);
    s->instance = true;
    s->visible = true;
    sprites_.push_back(std::move(s));
    Touch();
    return sprites_.back().get();
}

bool SceneState::Remove(uint16_t name) {
    auto it = std::find_if(sprites_.begin(), sprites_.end(), [name](const auto& s) { return s->name == name; });
    if (it == sprites_.end()) return false;
    sprites_.erase(it);
    if (focus_ == name) focus_ = 0;
    Touch();
    return true;
}

std::vector<const Sprite*> SceneState::PaintOrder() const {
    std::vector<const Sprite*> order;
    for (const auto& s : sprites_) order.push_back(s.get());
    std::sort(order.begin(), order.end(), [](const Sprite* a, const Sprite* b) { return Nearer(*b, *a); });
    return order;
}

bool SceneState::CoverUp() const {
    if (cover_requested_) return true;
    return std::any_of(sprites_.begin(), sprites_.end(), [](const auto& s) { return s->def->cover && s->visible; });
}

bool SceneState::TakesInput(const Sprite& s) const {
    if (!s.visible || !s.interactive || s.kind == SpriteKind::Template) return false;
    return !CoverUp() || s.z < def_->CoverLayer();
}

const Sprite* SceneState::HitTest(int32_t x, int32_t y) const {
    const Sprite* best = nullptr;
    for (const auto& s : sprites_) {
        if (!s->rect.Contains(x, y) || !TakesInput(*s)) continue;
        if (best == nullptr || Nearer(*s, *best)) best = s.get();
    }
    return best;
}

Sprite* SceneState::TypingField() {
    Sprite* s = Find(focus_);
    return s != nullptr && s->IsEdit() && TakesInput(*s) ? s : nullptr;
}

}  // namespace harbor
