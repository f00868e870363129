// Harbor's window: the stage on screen, input from the mouse and the keyboard, the help sounds,
// on the real clock. Its loop sleeps until input arrives, a post falls due or a frame is due,
// then delivers what is due and paints when the stage changed.
//
// Closing the window (or SIGINT/SIGTERM, or Alt+F4) asks the module the way the driver's quit
// does: 30026, then the loop runs on until the module's 30003 reaches HarborPort or the grace
// period is over; the module is then stopped (30041) and unloaded.
#ifndef HARBOR_WINDOW_STAGE_WINDOW_H
#define HARBOR_WINDOW_STAGE_WINDOW_H

#include <SDL_events.h>
#include <SDL_render.h>
#include <SDL_video.h>
#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "runtime/session.h"
#include "window/frame_pacer.h"
#include "window/input_router.h"
#include "window/letterbox.h"
#include "window/stage_view.h"

namespace harbor {

struct WindowOptions {
    std::filesystem::path sounds_dir;  // <Sprite>-<Effect>.wav for the help sounds
    std::string title = "Wrenmail";
};

class StageWindow {
public:
    // Draws the stage in stage coordinates at the clock's time.
    using Painter = std::function<void(cairo_t* cr, const SceneService& scenes, uint64_t now_ms)>;

    // Opens the video system and the window; null with `why` (one short phrase) when there is
    // no display to open.
    static std::unique_ptr<StageWindow> Open(WindowOptions options, std::string& why);
    ~StageWindow();
    StageWindow(const StageWindow&) = delete;
    StageWindow& operator=(const StageWindow&) = delete;

    // Starts the loaded module and runs until the application ends. 0 then; 1 when the window
    // could not paint.
    int Run(Session& session, const Painter& painter);

private:
    StageWindow(WindowOptions options, SDL_Window* window, SDL_Renderer* renderer);

    // Waits for input or the next due time, and handles what arrived.
    void Pump(Session& session, InputRouter& router, uint32_t wait_ms);
    void OnEvent(Session& session, InputRouter& router, const SDL_Event& event);
    void Paint(Session& session, const Painter& painter);
    void WriteSnapshot();
    void RequestClose(Session& session);
    Letterbox Box(double& pixel_ratio) const;

    WindowOptions options_;
    SDL_Window* window_;
    SDL_Renderer* renderer_;
    std::unique_ptr<StageView> view_;
    FramePacer pacer_;
    bool close_requested_ = false;
};

}  // namespace harbor

#endif
