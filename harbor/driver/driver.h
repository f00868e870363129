// The operations of driver scripts and of the test fixture, on a session: user input, clock,
// closing, and the expectations with what was really found.
#ifndef HARBOR_DRIVER_DRIVER_H
#define HARBOR_DRIVER_DRIVER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/identity.h"
#include "runtime/session.h"

namespace harbor {

class ScenePainter;

// The common dialog's text sprite: the dialog is up while it is visible.
inline constexpr const char* kDialogTextSprite = "TxtCoDialog";

struct Check {
    bool ok = false;
    std::string expected;  // "visible BtnCsEnter", "text TxtX \"Hi\"", ...
    std::string found;     // what was there instead
};

class Driver {
public:
    explicit Driver(Session& session);
    ~Driver();

    // Actions answer "" when done, else what went wrong. Input is followed by the delivery of
    // everything it made due, so the module has seen it when the call returns.
    std::string Start(const Identity& identity);
    std::string Click(const std::string& sprite);
    // The mouse at a stage point: moved there, then pressed and released `clicks` times, the
    // second press counting 2 (a double click); it hits whatever is frontmost there.
    std::string ClickAt(int32_t x, int32_t y, int32_t clicks);
    // Pressed at one point, moved to the other in steps, released there.
    std::string Drag(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    std::string Press(const std::string& sprite);    // cursor BEGIN over the sprite
    std::string Release(const std::string& sprite);  // cursor END over the sprite
    // Clicks the field (it takes the focus), then types the text key by key.
    std::string Type(const std::string& field, const std::string& text);
    std::string Key(const std::string& name);
    // Types the text key by key to whatever has the keyboard (a focused field, else KeyboardPort
    // as 30024 with KEY and ASCII), each key delivered and a frame drawn before the next.
    std::string Keys(const std::string& text);
    std::string Wait(uint32_t ms);
    std::string Quit();
    std::string Stop();
    // Writes the stage as it is now to a PNG file.
    std::string Snapshot(const std::string& file);

    Check Visible(const std::string& sprite, bool visible) const;
    Check Text(const std::string& sprite, const std::string& text) const;
    Check Scene(const std::string& scene) const;
    // The dialog shows `text`; nullopt: no dialog is shown.
    // The sprite's current effect (its look: Up, Roll, Disabled, Play1...).
    Check Effect(const std::string& sprite, const std::string& effect) const;
    Check Dialog(const std::optional<std::string>& text) const;
    // The texts drawn on the sprite's picture (a rich text or canvas sprite the module paints)
    // contain `text`; lines are joined with "\n". The pictures are asked for first, as before a
    // snapshot.
    Check Drawn(const std::string& sprite, const std::string& text) const;
    Check Ended() const;

    Session& GetSession() { return session_; }

private:
    std::string NeedsModule(const std::string& what) const;
    std::string WhyNoInput(const std::string& sprite) const;
    std::string CurrentSceneName() const;
    void Frame();  // the module's pictures asked for, as after each key a person presses

    Session& session_;
    std::unique_ptr<ScenePainter> painter_;  // made by the first snapshot
};

}  // namespace harbor

#endif
