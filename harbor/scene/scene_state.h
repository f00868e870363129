// The live state of one scene: its sprites as the module has changed them since the scene was
// last entered, the focus, and whether its cover is up. Entering a scene resets it to a fresh
// copy of the definition (common sprites included).
#ifndef HARBOR_SCENE_SCENE_STATE_H
#define HARBOR_SCENE_SCENE_STATE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scene/edit_text.h"
#include "scene/scene_def.h"

namespace harbor {

struct Sprite {
    std::shared_ptr<const SpriteDef> def;  // the definition or template it was made from
    uint16_t name = 0;
    SpriteKind kind = SpriteKind::Sprite;
    Rect rect;
    int32_t z = 10;
    bool visible = false;
    bool interactive = false;
    bool instance = false;  // made by a request rather than by the scene file
    uint16_t effect = 0;
    EditText text;  // answered texts point here: valid until it changes or the sprite goes
    uint64_t order = 0;  // creation order: among equal layers the later sprite is nearer

    bool IsEdit() const { return kind == SpriteKind::Edit; }
    bool IsPassword() const { return IsEdit() && def->edit && def->edit->password; }
    // What the painter shows: the text, masked for password fields.
    std::string DisplayText() const { return IsPassword() ? text.Masked() : text.Text(); }
};

class SceneState {
public:
    explicit SceneState(std::shared_ptr<const SceneDef> def);

    const SceneDef& Def() const { return *def_; }
    uint16_t Atom() const { return def_->atom; }

    // Fresh sprites from the definition; no focus; cover down.
    void Reset();

    Sprite* Find(uint16_t name);
    const Sprite* Find(uint16_t name) const;
    // A new sprite made from `def`, nearest among its layer. An existing instance of the same
    // name is replaced; null when the name belongs to a sprite of the scene file.
    Sprite* AddInstance(std::shared_ptr<const SpriteDef> def, uint16_t name);
    bool Remove(uint16_t name);
    const std::vector<std::unique_ptr<Sprite>>& Sprites() const { return sprites_; }
    // Far to near, the order a painter draws in.
    std::vector<const Sprite*> PaintOrder() const;

    // The cover is up from 30043 to 30051, and whenever a cover sprite is visible; while it is,
    // only sprites nearer than its layer take input.
    bool CoverUp() const;
    void SetCoverRequested(bool up) { cover_requested_ = up; }
    bool TakesInput(const Sprite& s) const;
    // The nearest sprite at the point that takes input: smaller layer first, later sprite first.
    const Sprite* HitTest(int32_t x, int32_t y) const;

    uint16_t Focus() const { return focus_; }
    void SetFocus(uint16_t sprite) { focus_ = sprite; }
    // The focused sprite when it is an edit field that can be typed into now.
    Sprite* TypingField();

    // Grows with every change, so a painter knows when to redraw.
    uint64_t Revision() const { return revision_; }
    void Touch() { ++revision_; }

private:
    std::unique_ptr<Sprite> Make(std::shared_ptr<const SpriteDef> def, uint16_t name);

    std::shared_ptr<const SceneDef> def_;
    std::vector<std::unique_ptr<Sprite>> sprites_;
    uint16_t focus_ = 0;
    bool cover_requested_ = false;
    uint64_t next_order_ = 0;
    uint64_t revision_ = 0;
};

// True when `a` is nearer the viewer than `b`.
bool Nearer(const Sprite& a, const Sprite& b);

}  // namespace harbor

#endif
