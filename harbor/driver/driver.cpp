#include "driver/driver.h"

#include <string_view>
#include <vector>

#include "hxmsg.h"
#include "render/scene_painter.h"
#include "base/atoms.h"
#include "scene/key_codes.h"

namespace harbor {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

Driver::Driver(Session& session) : session_(session) {}

Driver::~Driver() = default;

std::string Driver::CurrentSceneName() const {
    const uint16_t scene = session_.Scenes().CurrentScene();
    return scene == 0 ? std::string("no scene") : KnownName(scene);
}

std::string Driver::NeedsModule(const std::string& what) const {
    if (session_.Ended()) return what + ": the application has ended (" + Describe(session_.App().Reason()) + ")";
    if (!session_.Running()) return what + ": the module is not started";
    return "";
}

std::string Driver::WhyNoInput(const std::string& sprite) const {
    const SceneService& scenes = session_.Scenes();
    if (scenes.CurrentScene() == 0) return sprite + ": no scene is shown";
    std::optional<SpriteInfo> info = scenes.FindSprite(AtomOf(sprite));
    if (!info) return "scene " + CurrentSceneName() + " has no sprite " + sprite;
    if (!info->visible) return sprite + " is hidden";
    return sprite + " does not take input (not interactive, or under the cover)";
}

std::string Driver::Start(const Identity& identity) {
    if (session_.Ended()) return NeedsModule("start");
    if (session_.Running()) return "start: the module is already started";
    if (!session_.Start(identity)) return "start: no module is loaded";
    return "";
}

std::string Driver::Click(const std::string& sprite) {
    if (std::string error = NeedsModule("click " + sprite); !error.empty()) return error;
    if (!session_.Scenes().ClickSprite(AtomOf(sprite))) return "click: " + WhyNoInput(sprite);
    session_.Settle();
    return "";
}

std::string Driver::ClickAt(int32_t x, int32_t y, int32_t clicks) {
    const std::string what = "click at " + std::to_string(x) + " " + std::to_string(y);
    if (std::string error = NeedsModule(what); !error.empty()) return error;
    SceneService& scenes = session_.Scenes();
    for (int32_t count = 1; count <= clicks; ++count) {
        scenes.PointerMove(x, y);
        if (!scenes.PointerDown(x, y, count)) return what + ": nothing there takes input";
        scenes.PointerUp(x, y);
        session_.Settle();
        if (session_.Ended()) return "";
    }
    return "";
}

std::string Driver::Drag(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const std::string what = "drag from " + std::to_string(x1) + " " + std::to_string(y1);
    if (std::string error = NeedsModule(what); !error.empty()) return error;
    SceneService& scenes = session_.Scenes();
    scenes.PointerMove(x1, y1);
    if (!scenes.PointerDown(x1, y1, 1)) return what + ": nothing there takes input";
    session_.Settle();
    // A hand moves the mouse through the points between, each delivered before the next.
    constexpr int32_t kSteps = 8;
    for (int32_t step = 1; step <= kSteps && !session_.Ended(); ++step) {
        scenes.PointerMove(x1 + (x2 - x1) * step / kSteps, y1 + (y2 - y1) * step / kSteps);
        session_.Settle();
    }
    if (session_.Ended()) return "";
    scenes.PointerUp(x2, y2);
    session_.Settle();
    return "";
}

std::string Driver::Press(const std::string& sprite) {
    if (std::string error = NeedsModule("press " + sprite); !error.empty()) return error;
    if (!session_.Scenes().CursorBegin(AtomOf(sprite))) return "press: " + WhyNoInput(sprite);
    session_.Settle();
    return "";
}

std::string Driver::Release(const std::string& sprite) {
    if (std::string error = NeedsModule("release " + sprite); !error.empty()) return error;
    if (!session_.Scenes().CursorEnd(AtomOf(sprite))) return "release: " + WhyNoInput(sprite);
    session_.Settle();
    return "";
}

std::string Driver::Type(const std::string& field, const std::string& text) {
    if (std::string error = NeedsModule("type " + field); !error.empty()) return error;
    SceneService& scenes = session_.Scenes();
    std::optional<SpriteInfo> info = scenes.FindSprite(AtomOf(field));
    if (info && info->kind != SpriteKind::Edit) return "type: " + field + " is not an edit field";
    if (!scenes.ClickSprite(AtomOf(field))) return "type: " + WhyNoInput(field);
    session_.Settle();
    if (session_.Ended()) return "";
    scenes.TypeText(text);
    session_.Settle();
    return "";
}

std::string Driver::Key(const std::string& name) {
    if (std::string error = NeedsModule("key " + name); !error.empty()) return error;
    if (!KeyFromName(name)) return "key: unknown key " + name;
    session_.Scenes().KeyByName(name);
    session_.Settle();
    Frame();
    return "";
}

std::string Driver::Keys(const std::string& text) {
    if (std::string error = NeedsModule("keys"); !error.empty()) return error;
    for (std::size_t i = 0; i < text.size() && !session_.Ended(); ++i) {
        std::size_t n = 1;  // a CR LF pair is one Enter; a UTF-8 sequence one character
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') n = 2;
        while (static_cast<unsigned char>(text[i]) >= 0xC0 && i + n < text.size() &&
               (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) {
            ++n;
        }
        session_.Scenes().TypeText(std::string_view(text).substr(i, n));
        session_.Settle();
        Frame();
        i += n - 1;
    }
    return "";
}

// A window draws a frame between two keys of a person's: the module paints what the key changed
// (and lays its text out again) before the next key comes, without the clock moving.
void Driver::Frame() {
    if (session_.Ended()) return;
    session_.Canvases().Refresh();
    session_.Settle();
}

std::string Driver::Wait(uint32_t ms) {
    session_.Advance(ms);
    return "";
}

std::string Driver::Quit() {
    if (session_.Ended()) return NeedsModule("quit");
    session_.Quit();
    return "";
}

std::string Driver::Stop() {
    session_.Stop();
    return "";
}

std::string Driver::Snapshot(const std::string& file) {
    if (!painter_) {
        painter_ = std::make_unique<ScenePainter>(session_.Options().content_dir);
        CanvasSprites& canvases = session_.Canvases();
        painter_->SetPictureProvider([&canvases](uint16_t scene, uint16_t sprite) { return canvases.Picture(scene, sprite); });
    }
    if (!session_.Ended()) session_.Canvases().Refresh();  // the pictures as the module draws them now
    std::string error;
    if (!painter_->WritePng(session_.Scenes(), HxNow(), file, error)) return "snapshot: " + error;
    return "";
}

Check Driver::Visible(const std::string& sprite, bool visible) const {
    Check check;
    check.expected = (visible ? "visible " : "hidden ") + sprite;
    std::optional<SpriteInfo> info = session_.Scenes().FindSprite(AtomOf(sprite));
    if (!info) {
        check.found = "no sprite " + sprite + " in " + CurrentSceneName();
        return check;
    }
    check.ok = info->visible == visible;
    check.found = (info->visible ? "visible " : "hidden ") + sprite;
    return check;
}

Check Driver::Text(const std::string& sprite, const std::string& text) const {
    Check check;
    check.expected = "text " + sprite + " " + Quoted(text);
    std::optional<SpriteInfo> info = session_.Scenes().FindSprite(AtomOf(sprite));
    if (!info) {
        check.found = "no sprite " + sprite + " in " + CurrentSceneName();
        return check;
    }
    check.ok = info->text == text;
    check.found = "text " + sprite + " " + Quoted(info->text);
    return check;
}

Check Driver::Effect(const std::string& sprite, const std::string& effect) const {
    Check check;
    check.expected = "effect " + sprite + " " + effect;
    std::optional<SpriteInfo> info = session_.Scenes().FindSprite(AtomOf(sprite));
    if (!info) {
        check.found = "no sprite " + sprite + " in " + CurrentSceneName();
        return check;
    }
    check.ok = info->effect == effect;
    check.found = "effect " + sprite + " " + (info->effect.empty() ? std::string("(none)") : info->effect);
    return check;
}

Check Driver::Scene(const std::string& scene) const {
    Check check;
    check.expected = "scene " + scene;
    check.found = "scene " + CurrentSceneName();
    check.ok = session_.Scenes().CurrentScene() != 0 && session_.Scenes().CurrentScene() == AtomOf(scene);
    return check;
}

Check Driver::Dialog(const std::optional<std::string>& text) const {
    Check check;
    check.expected = text ? "dialog " + Quoted(*text) : std::string("no dialog");
    std::optional<SpriteInfo> info = session_.Scenes().FindSprite(AtomOf(kDialogTextSprite));
    const bool shown = info && info->visible;
    check.found = shown ? "dialog " + Quoted(info->text) : std::string("no dialog");
    check.ok = text ? shown && info->text == *text : !shown;
    return check;
}

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else out.push_back(c);
    }
    return out;
}

}  // namespace

Check Driver::Drawn(const std::string& sprite, const std::string& text) const {
    Check check;
    check.expected = "drawn " + sprite + " containing " + Quoted(Escaped(text));
    if (!session_.Ended()) session_.Canvases().Refresh();
    const SceneService& scenes = session_.Scenes();
    const uint16_t atom = AtomOf(sprite);
    const std::vector<uint16_t>& stack = scenes.SceneStack();
    for (auto scene = stack.rbegin(); scene != stack.rend(); ++scene) {
        if (!scenes.FindSprite(*scene, atom)) continue;
        const std::optional<std::string> drawn = session_.Canvases().DrawnText(*scene, atom);
        check.ok = drawn && drawn->find(text) != std::string::npos;
        check.found = drawn ? "drawn " + sprite + " " + Quoted(Escaped(*drawn)) : sprite + " not painted by the module yet";
        return check;
    }
    check.found = "no sprite " + sprite + " in " + CurrentSceneName();
    return check;
}

Check Driver::Ended() const {
    Check check;
    check.expected = "the application ended";
    check.ok = session_.Ended();
    check.found = check.ok ? "ended: " + Describe(session_.App().Reason()) : std::string("still running");
    return check;
}

}  // namespace harbor
