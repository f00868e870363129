#include "driver/demo.h"

#include <algorithm>

#include "base/atoms.h"

namespace harbor {

namespace {

constexpr uint32_t kDemoMs = 1000;

std::string OrDash(const std::optional<std::string>& value) { return value ? "\"" + *value + "\"" : "-"; }

void DescribeScene(Session& session, std::ostream& out) {
    const SceneService& scenes = session.Scenes();
    const uint16_t current = scenes.CurrentScene();
    if (current == 0) {
        out << "After " << kDemoMs << " ms no scene is shown.\n";
        return;
    }
    std::vector<SpriteInfo> shown;
    for (const auto& sprite : scenes.Scene(current)->Sprites()) {
        if (std::optional<SpriteInfo> info = scenes.FindSprite(current, sprite->name); info && info->visible) {
            shown.push_back(*info);
        }
    }
    out << "After " << kDemoMs << " ms the scene " << KnownName(current) << " is shown, with " << shown.size()
        << " visible sprites:\n";
    for (const SpriteInfo& info : shown) {
        out << "  " << KnownName(info.name) << " (" << SpriteKindName(info.kind) << ")";
        if (!info.display_text.empty()) out << " \"" << info.display_text << "\"";
        out << "\n";
    }
}

}  // namespace

int RunDemo(Session& session, std::ostream& out) {
    const SessionOptions& options = session.Options();
    out << "Harbor headless demo: the mail module runs without a window, on the test clock, and this\n"
           "tells what the window would show (run harbor without --headless to see it).\n"
        << "  module:  " << options.module_path.string() << "\n"
        << "  content: " << options.content_dir.string() << " (" << session.Scenes().Library().Scenes().size()
        << " scenes)\n";
    const Identity& id = options.identity;
    out << "Starting the module with player " << OrDash(id.player) << ", kite " << OrDash(id.kite) << ", password "
        << (id.password ? "given" : "-") << ".\n";
    if (!session.Start()) {
        out << "The module could not be started.\n";
        return 1;
    }
    session.Advance(kDemoMs);
    DescribeScene(session, out);
    if (!session.Ended()) {
        out << "Asking the module to close, as the window's close button will.\n";
        session.Quit();
    }
    out << "The session ended: " << Describe(session.App().Reason()) << ".\n";
    return 0;
}

}  // namespace harbor
