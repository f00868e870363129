#include "window/stage_window.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "hxmsg.h"
#include "base/trace_log.h"
#include "scene/scene_names.h"
#include "window/snapshot_signal.h"
#include "window/sound_player.h"

namespace harbor {

namespace {

bool EnvironmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// A video driver chosen by hand (dummy, offscreen) needs no display server.
std::string MissingDisplay() {
    if (EnvironmentSet("SDL_VIDEODRIVER") || EnvironmentSet("DISPLAY") || EnvironmentSet("WAYLAND_DISPLAY")) return {};
    return "DISPLAY is not set";
}

}  // namespace

std::unique_ptr<StageWindow> StageWindow::Open(WindowOptions options, std::string& why) {
    if (why = MissingDisplay(); !why.empty()) return nullptr;
    // The first click on a window that has no focus yet counts, as any click does for a child.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        why = std::string("SDL: ") + SDL_GetError();
        return nullptr;
    }
    SDL_Window* window = SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          stage::kWidth, stage::kHeight,
                                          SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (renderer == nullptr) {
        why = std::string("SDL: ") + SDL_GetError();
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_Quit();
        return nullptr;
    }
    // Set while hidden: SDL applies a minimum size by resizing the window to its own size, which
    // would undo a size given to the window in the meantime.
    SDL_SetWindowMinimumSize(window, stage::kWidth / 2, stage::kHeight / 2);
    return std::unique_ptr<StageWindow>(new StageWindow(std::move(options), window, renderer));
}

StageWindow::StageWindow(WindowOptions options, SDL_Window* window, SDL_Renderer* renderer)
    : options_(std::move(options)), window_(window), renderer_(renderer), view_(std::make_unique<StageView>(renderer)) {}

StageWindow::~StageWindow() {
    view_.reset();
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    SDL_Quit();
}

Letterbox StageWindow::Box(double& pixel_ratio) const {
    int output_w = 0;
    int output_h = 0;
    int window_w = 0;
    int window_h = 0;
    SDL_GetRendererOutputSize(renderer_, &output_w, &output_h);
    SDL_GetWindowSize(window_, &window_w, &window_h);
    pixel_ratio = window_w > 0 ? static_cast<double>(output_w) / window_w : 1.0;
    return FitStage(output_w, output_h);
}

int StageWindow::Run(Session& session, const Painter& painter) {
    SoundPlayer sounds(
        options_.sounds_dir, [](const std::string& text) { ProblemNote("sound", text); },
        [](const std::string& text) { TraceNote("sound", text); });
    session.Scenes().SetEffectObserver([&sounds](const SceneState&, const Sprite& sprite) {
        if (sounds.PlayFor(sprite)) TraceNote("sound", "playing " + AtomName(sprite.name) + " " + AtomName(sprite.effect));
    });
    InputRouter router(session.Scenes());
    SnapshotSignal snapshots;
    SDL_ShowWindow(window_);
    SDL_StartTextInput();
    session.Start();
    int status = 0;
    while (!session.Ended()) {
        const Motion motion = MotionOf(session.Scenes());
        Pump(session, router, pacer_.WaitMs(motion, HxNow(), HxTimeToNextPost()));
        if (session.App().Quitting()) session.App().CheckDeadline(HxNow());
        session.Settle();
        if (session.Ended()) break;
        const bool snapshot = snapshots.Take();
        if (snapshot) pacer_.Invalidate();
        if (pacer_.Due(SignatureOf(session.Scenes()), MotionOf(session.Scenes()), HxNow())) Paint(session, painter);
        if (view_ == nullptr) {
            status = 1;
            break;
        }
        if (snapshot) WriteSnapshot();
    }
    session.Stop();
    session.Scenes().SetEffectObserver(nullptr);
    SDL_StopTextInput();
    return status;
}

// Each event is answered before the next is looked at, so a quick second click meets the stage
// the first one left.
void StageWindow::Pump(Session& session, InputRouter& router, uint32_t wait_ms) {
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, static_cast<int>(wait_ms)) == 0) return;
    do {
        OnEvent(session, router, event);
        session.Settle();
    } while (!session.Ended() && SDL_PollEvent(&event) != 0);
}

void StageWindow::OnEvent(Session& session, InputRouter& router, const SDL_Event& event) {
    if (event.type == SDL_QUIT) return RequestClose(session);
    if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            TraceNote("window", "size " + std::to_string(event.window.data1) + "x" + std::to_string(event.window.data2));
        }
        pacer_.Invalidate();
        return;
    }
    if (event.type == SDL_RENDER_TARGETS_RESET || event.type == SDL_RENDER_DEVICE_RESET) {
        pacer_.Invalidate();
        return;
    }
    double ratio = 1.0;
    const Letterbox box = Box(ratio);
    if (router.Handle(event, box, ratio) == InputRouter::Outcome::CloseRequested) RequestClose(session);
}

void StageWindow::RequestClose(Session& session) {
    if (close_requested_) return;
    close_requested_ = true;
    TraceNote("window", "closing: the module is asked to stop");
    session.Quit();
}

void StageWindow::Paint(Session& session, const Painter& painter) {
    double ratio = 1.0;
    const Letterbox box = Box(ratio);
    const uint64_t now = HxNow();
    const SceneService& scenes = session.Scenes();
    std::string error;
    if (!view_->Show(box, [&](cairo_t* cr) { painter(cr, scenes, now); }, error)) {
        std::cerr << "harbor: the window cannot paint: " << error << "\n";
        view_.reset();
        return;
    }
    pacer_.Painted(SignatureOf(scenes), now);
}

void StageWindow::WriteSnapshot() {
    const std::filesystem::path file = SnapshotSignal::File();
    std::string error;
    if (view_->WritePng(file, error)) {
        std::cerr << "harbor: window picture written to " << file.string() << "\n";
    } else {
        std::cerr << "harbor: cannot write the window picture " << file.string() << ": " << error << "\n";
    }
}

}  // namespace harbor
