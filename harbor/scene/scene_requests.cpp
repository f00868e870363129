#include "scene/scene_requests.h"

#include <algorithm>
#include <limits>

#include "message_codes.h"

namespace harbor {

namespace {

int32_t ClampedSum(int32_t a, int32_t b) {
    const int64_t sum = int64_t{a} + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool Has(const EDict* record, uint16_t key) { return EDictHasKey(record, key); }

}  // namespace

bool SceneRequests::Handle(SceneState& scene, EDict* record) const {
    using namespace code;
    switch (EDictGetType(record)) {
        case kStart:
            if (!Has(record, n_.sprite_name)) Note(scene, record, "no SPRITENAME");
            else if (Has(record, n_.iname)) MakeInstance(scene, record);
            else Show(scene, record);
            return true;
        case kDelete: Delete(scene, record); return true;
        case kStop: Hide(scene, record); return true;
        case kMove: Move(scene, record); return true;
        case kSet: Set(scene, record); return true;
        case kSetEffect: SetEffect(scene, record); return true;
        case kGet: AnswerText(scene, record); return true;
        case kEditText: EditText(scene, record); return true;
        case kBeforeCover: Cover(scene, record, true); return true;
        case kAfterCover: Cover(scene, record, false); return true;
        case kGetRect: AnswerRect(scene, record); return true;
        default: return false;
    }
}

void SceneRequests::Show(SceneState& scene, const EDict* record) const {
    const uint16_t name = EDictGetShort(record, n_.sprite_name);
    Sprite* s = scene.Find(name);
    if (s == nullptr) {
        // A sprite made elsewhere (a canvas sprite) joins the scene when it is first shown.
        if (std::shared_ptr<const SpriteDef> def = hooks_.resolve ? hooks_.resolve(name) : nullptr) {
            s = scene.AddInstance(std::move(def), name);
        }
    }
    if (s == nullptr) return Note(scene, record, "no sprite '" + AtomName(name) + "'");
    if (s->def->kind == SpriteKind::Template && !s->instance) {
        return Note(scene, record, "'" + AtomName(name) + "' is a template, never shown itself");
    }
    s->visible = true;
    PlaceAt(*s, record);
    if (Has(record, n_.z)) s->z = EDictGetLong(record, n_.z);
    scene.Touch();
    ReadyUnlessQuiet(scene, *s, record);
}

// X and Y name the sprite's position; its rect keeps the offset its definition gives it.
void SceneRequests::PlaceAt(Sprite& s, const EDict* record) const {
    if (Has(record, n_.x)) s.rect.x = ClampedSum(EDictGetLong(record, n_.x), s.def->offset_x);
    if (Has(record, n_.y)) s.rect.y = ClampedSum(EDictGetLong(record, n_.y), s.def->offset_y);
}

std::shared_ptr<const SpriteDef> SceneRequests::Source(SceneState& scene, uint16_t name) const {
    if (const Sprite* s = scene.Find(name)) return s->def;
    return hooks_.resolve ? hooks_.resolve(name) : nullptr;
}

void SceneRequests::MakeInstance(SceneState& scene, const EDict* record) const {
    const uint16_t source = EDictGetShort(record, n_.sprite_name);
    const uint16_t name = EDictGetShort(record, n_.iname);
    std::shared_ptr<const SpriteDef> def = Source(scene, source);
    if (def == nullptr) return Note(scene, record, "no sprite '" + AtomName(source) + "' to copy");
    const Sprite* from = scene.Find(source);
    const Rect from_rect = from != nullptr ? from->rect : def->rect;
    const int32_t from_z = from != nullptr ? from->z : def->z;
    Sprite* s = scene.AddInstance(std::move(def), name);
    if (s == nullptr) return Note(scene, record, "instance name '" + AtomName(name) + "' is taken by the scene");
    s->rect = from_rect;
    PlaceAt(*s, record);
    s->z = Has(record, n_.z) ? EDictGetLong(record, n_.z) : from_z;
    s->visible = !Has(record, n_.visible) || EDictGetBool(record, n_.visible);
    if (s->visible) ReadyUnlessQuiet(scene, *s, record);
}

void SceneRequests::Delete(SceneState& scene, const EDict* record) const {
    const uint16_t name = EDictGetShort(record, n_.name);
    if (!scene.Remove(name)) Note(scene, record, "no sprite '" + AtomName(name) + "'");
}

void SceneRequests::Hide(SceneState& scene, const EDict* record) const {
    if (Sprite* s = Named(scene, record, n_.name)) {
        s->visible = false;
        scene.Touch();
    }
}

void SceneRequests::Move(SceneState& scene, const EDict* record) const {
    if (Sprite* s = Named(scene, record, n_.name)) {
        PlaceAt(*s, record);
        scene.Touch();
    }
}

void SceneRequests::Set(SceneState& scene, const EDict* record) const {
    if (Has(record, n_.name)) {
        if (Sprite* s = Named(scene, record, n_.name)) SetProperties(scene, *s, record);
        return;
    }
    // FOCUS without a NAME: the scene itself takes the keyboard (true) or nothing has it (false);
    // either way no field keeps it, and keys go to KeyboardPort.
    if (Has(record, n_.focus)) {
        scene.SetFocus(0);
    } else if (!Has(record, n_.forced_update)) {
        return Note(scene, record, "no NAME");
    }
    scene.Touch();
}

void SceneRequests::SetProperties(SceneState& scene, Sprite& s, const EDict* record) const {
    if (Has(record, n_.z)) s.z = EDictGetLong(record, n_.z);
    if (Has(record, n_.text)) {
        const char* text = EDictGetText(record, n_.text);
        s.text.Set(text != nullptr ? text : "");
    }
    if (Has(record, n_.visible)) s.visible = EDictGetBool(record, n_.visible);
    if (Has(record, n_.interactive)) s.interactive = EDictGetBool(record, n_.interactive);
    if (Has(record, n_.focus)) {
        if (!EDictGetBool(record, n_.focus)) {
            if (scene.Focus() == s.name) scene.SetFocus(0);
        } else if (s.IsEdit()) {
            scene.SetFocus(s.name);
            s.text.End();
        } else {
            Note(scene, record, "'" + AtomName(s.name) + "' is not an edit field and takes no focus");
        }
    }
    scene.Touch();
}

void SceneRequests::SetEffect(SceneState& scene, const EDict* record) const {
    Sprite* s = Named(scene, record, n_.name);
    if (s == nullptr) return;
    if (!Has(record, n_.fx)) return Note(scene, record, "no FX");
    s->effect = EDictGetShort(record, n_.fx);
    const std::string effect = AtomName(s->effect);
    if (!s->def->effects.empty() && !s->def->KnowsEffect(effect)) {
        Note(scene, record, "'" + AtomName(s->name) + "' has no effect '" + effect + "'");
    }
    scene.Touch();
    if (hooks_.effect_set) hooks_.effect_set(scene, *s);
}

void SceneRequests::AnswerText(SceneState& scene, EDict* record) const {
    if (const Sprite* s = Named(scene, record, n_.name)) EDictPutText(record, n_.text, s->text.Text().c_str());
}

void SceneRequests::EditText(SceneState& scene, EDict* record) const {
    Sprite* s = Named(scene, record, n_.name);
    if (s == nullptr) return;
    if (!s->IsEdit()) return Note(scene, record, "'" + AtomName(s->name) + "' is not an edit field");
    if (Has(record, n_.get) && EDictGetLong(record, n_.get) != 0) {
        EDictPutText(record, n_.text, s->text.Text().c_str());
    } else if (Has(record, n_.text)) {
        const char* text = EDictGetText(record, n_.text);
        s->text.Set(text != nullptr ? text : "");
        scene.Touch();
    } else {
        Note(scene, record, "neither GET nor TEXT");
    }
}

void SceneRequests::Cover(SceneState& scene, const EDict* record, bool up) const {
    if (Has(record, n_.all) && !EDictGetBool(record, n_.all)) return;
    scene.SetCoverRequested(up);
    scene.Touch();
}

void SceneRequests::AnswerRect(SceneState& scene, EDict* record) const {
    const Sprite* s = Named(scene, record, n_.name);
    if (s == nullptr) return;
    EDictPutLong(record, n_.rx1, s->rect.x);
    EDictPutLong(record, n_.ry1, s->rect.y);
    EDictPutLong(record, n_.rx2, ClampedSum(s->rect.x, s->rect.width));
    EDictPutLong(record, n_.ry2, ClampedSum(s->rect.y, s->rect.height));
}

Sprite* SceneRequests::Named(SceneState& scene, const EDict* record, uint16_t key) const {
    if (!Has(record, key)) {
        Note(scene, record, "no " + AtomName(key));
        return nullptr;
    }
    const uint16_t name = EDictGetShort(record, key);
    Sprite* s = scene.Find(name);
    if (s == nullptr) Note(scene, record, "no sprite '" + AtomName(name) + "'");
    return s;
}

void SceneRequests::Note(const SceneState& scene, const EDict* record, const std::string& what) const {
    if (hooks_.trace) hooks_.trace(scene.Def().name + " " + std::to_string(EDictGetType(record)) + ": " + what);
}

void SceneRequests::ReadyUnlessQuiet(const SceneState& scene, const Sprite& sprite, const EDict* record) const {
    if (Has(record, n_.notify) && !EDictGetBool(record, n_.notify)) return;
    events_.SpriteReady(scene.Def().event_port, sprite.name);
}

}  // namespace harbor
