// Harbor's scene service: the scene library, the scene stack, every scene's live sprites, and
// the input that reaches them. It answers AppPort (switch to, open and close scenes) and each
// scene's own port (sprite requests), and delivers the scenes' events to their event ports.
//
// Everything it delivers is posted with delay 0 (the clock in the time word): run the messaging
// loop (HxRunUntilIdle or HxAdvanceTime) for the module to see it. Nothing is sent, so no module
// handler ever runs inside a call of this class.
//
// One service can hold the ports at a time (handlers are plain functions; see scene_ports.h).
#ifndef HARBOR_SCENE_SCENE_SERVICE_H
#define HARBOR_SCENE_SCENE_SERVICE_H

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/key_codes.h"
#include "scene/scene_def.h"
#include "scene/scene_events.h"
#include "scene/scene_library.h"
#include "scene/scene_names.h"
#include "scene/scene_ports.h"
#include "scene/scene_requests.h"
#include "scene/scene_state.h"

namespace harbor {

// A sprite as queries see it, copied out of the live state.
struct SpriteInfo {
    uint16_t name = 0;
    SpriteKind kind = SpriteKind::Sprite;
    Rect rect;
    int32_t z = 0;
    bool visible = false;
    bool interactive = false;
    bool instance = false;
    std::string effect;        // the current effect's name, empty for none
    std::string text;          // the text (edit fields: what was typed)
    std::string display_text;  // what is shown: masked for password fields
    std::size_t caret = 0;     // edit fields: byte offset of the caret
};

struct Hit {
    uint16_t scene = 0;
    uint16_t sprite = 0;
};

class SceneService : private ScenePortReceiver {
public:
    using TraceSink = std::function<void(const std::string&)>;
    using SpriteResolver = std::function<std::shared_ptr<const SpriteDef>(uint16_t name)>;

    // `content` holds the folder `scenes/` with one JSON file per scene.
    explicit SceneService(std::filesystem::path content);
    ~SceneService();
    SceneService(const SceneService&) = delete;
    SceneService& operator=(const SceneService&) = delete;

    // Loads content/scenes/*.json, replacing what was loaded and emptying the scene stack. Returns
    // one message per problem (naming the file, and line and column for syntax errors); what
    // loaded is usable. While attached, the ports follow the new scenes.
    std::vector<std::string> Load();

    // Attaches AppPort and one port per loaded scene (the scene's atom). False when another
    // service holds the ports.
    bool Attach();
    void Detach();

    // Notes about requests that could not be carried out (unknown scene or sprite, ...).
    void SetTraceSink(TraceSink sink);
    // Sprites that scene files do not define, made elsewhere (canvas sprites of the resource
    // service): asked when a request names a sprite the scene lacks.
    void SetSpriteResolver(SpriteResolver resolver);
    // Told each time a request sets a sprite's effect, from inside that delivery: the observer
    // must not send to the module.
    using EffectObserver = std::function<void(const SceneState& scene, const Sprite& sprite)>;
    void SetEffectObserver(EffectObserver observer);

    // --- Scenes, as AppPort changes them ---------------------------------------------------
    // 30013: an overlay scene opens over the stack, any other replaces it. Scenes left get 30041
    // (top first), then the scene entered gets 30032; it starts from its definition.
    bool ShowScene(uint16_t scene);
    // 30059: closes an overlay scene on the stack (and any above it) back to the scene below;
    // each closed scene gets 30041, the scene below gets nothing.
    bool CloseScene(uint16_t scene);

    // --- Pointer input, in stage pixels --------------------------------------------------
    // The sprite that takes input at the point: the stack's scenes from the top, in each the
    // nearest visible interactive sprite not blocked by a cover; a scene whose cover is up, and
    // any scene that is not an overlay, ends the search.
    std::optional<Hit> HitTest(int32_t x, int32_t y) const;
    // Press: an edit field hit takes the focus (30033 FOCUS when it did not have it), then 30027
    // BEGIN and 30036 with X, Y, COUNT. False when nothing took it.
    bool PointerDown(int32_t x, int32_t y, int32_t count = 1);
    // Release: 30027 END and 30068 for the pressed sprite, and 30035 when released over it.
    void PointerUp(int32_t x, int32_t y);
    // 30019 to the top scene's event port.
    void PointerMove(int32_t x, int32_t y);
    // A whole click on a sprite of the top scene, pressed and released at its centre, as if the
    // pointer did it; false (and a note) when the sprite does not take input there.
    bool ClickSprite(uint16_t sprite);

    // The single pointer events, for drivers that sequence them themselves. The named ones go
    // to the top scene and only to a sprite that takes input (false otherwise).
    bool CursorBegin(uint16_t sprite);
    bool CursorEnd(uint16_t sprite);
    void Release();

    // --- Keys ------------------------------------------------------------------------------
    // With an edit field of the top scene focused (visible, not under the cover): characters,
    // Backspace, Delete, Left, Right, Home and End edit it; Tab and Enter become 30033 TAB /
    // ENTER. Anything else (and every key without such a field, or with Ctrl or Alt held) goes
    // to KeyboardPort as 30024. True when the key went somewhere.
    bool PressKey(Key key, Modifiers modifiers = {});
    bool KeyChar(char c, Modifiers modifiers = {});
    bool PressStroke(const KeyStroke& stroke);
    // Key names as KeyFromName reads them; false for an unknown name.
    bool KeyByName(std::string_view name, Modifiers modifiers = {});
    // Each character as a key; tab and line break as Tab and Enter, other control characters
    // and non-ASCII text typed only into a focused field.
    void TypeText(std::string_view utf8);
    // The modifier keys held, as the input source tells them: when they differ from the last
    // known, 30065 with ALTKEY, SHIFTKEY and CTLKEY reaches the top scene's event port, where
    // the module's controls read Shift and Ctrl for the next press.
    void HoldModifiers(Modifiers held);

    // --- Queries ---------------------------------------------------------------------------
    uint16_t CurrentScene() const;  // top of the stack, 0 when empty
    const std::vector<uint16_t>& SceneStack() const { return stack_; }  // bottom first
    const SceneLibrary& Library() const { return library_; }
    const SceneState* Scene(uint16_t scene) const;
    std::optional<SpriteInfo> FindSprite(uint16_t scene, uint16_t sprite) const;
    std::optional<SpriteInfo> FindSprite(uint16_t sprite) const;  // in the current scene
    uint16_t Focus() const;                                  // of the current scene
    // The sprite a pointer press took, until the release.
    std::optional<Hit> Pressed() const { return pressed_; }

    // A change painters must see that no request made (a canvas sprite's new picture): raises
    // the scene's revision.
    void Touch(uint16_t scene);

private:
    bool OnAppPort(EDict* record) override;
    bool OnScenePort(uint16_t scene, EDict* record) override;

    SceneState* State(uint16_t scene);
    const SceneState* State(uint16_t scene) const;
    SceneState* Top();
    // The scene that shows a notice addressed to `scene`, when that is a closed overlay; else null.
    SceneState* NoticeScene(const SceneState& scene, const EDict* record);
    void Enter(SceneState& scene);
    void LeaveDownTo(std::size_t depth);
    bool BindPorts();
    // The top scene's sprite when it takes input, else null after a note.
    Sprite* InputSprite(uint16_t sprite, const char* what);
    void TakeFocus(SceneState& scene, Sprite& field);
    bool EditFocused(SceneState& scene, Sprite& field, const KeyStroke& stroke);
    void ToKeyboardPort(const KeyStroke& stroke);
    void Note(const std::string& what) const;

    std::filesystem::path content_;
    SceneNames names_;
    SceneEvents events_;
    SceneHooks hooks_;
    SceneRequests requests_;
    SceneLibrary library_;
    std::map<uint16_t, std::unique_ptr<SceneState>> states_;
    std::vector<uint16_t> stack_;
    std::optional<Hit> pressed_;
    bool want_attached_ = false;
    Modifiers held_;
};

}  // namespace harbor

#endif
