#include "window/error_page.h"

#include <SDL.h>
#include <pango/pangocairo.h>

#include <cstdlib>
#include <iostream>

#include "render/font_config.h"
#include "render/text_system.h"
#include "scene/scene_names.h"
#include "window/letterbox.h"
#include "window/snapshot_signal.h"
#include "window/stage_view.h"

namespace harbor {

namespace {

void ShowText(cairo_t* cr, const TextSystem& text, const std::string& words, const TextStyle& style, double x, double y) {
    GObjectPtr<PangoLayout> layout = text.Layout(words, style);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout.get());
}

void PaintPage(cairo_t* cr, const TextSystem& text, const std::string& message) {
    cairo_set_source_rgb(cr, 0.96, 0.94, 0.86);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.55, 0.16, 0.12);
    cairo_rectangle(cr, 0, 0, stage::kWidth, 12);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.2);
    ShowText(cr, text, "Wrenmail cannot start", {"Comic Sans MS", 30, TextAlign::Left, 560, true}, 40, 50);
    ShowText(cr, text, message, {"Arial", 17, TextAlign::Left, 560, true}, 40, 120);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.4);
    ShowText(cr, text, "Please ask a grown-up. Click or press a key to close this window.",
             {"Arial", 14, TextAlign::Left, 560, true}, 40, 430);
}

bool Closes(const SDL_Event& event) {
    return event.type == SDL_QUIT || event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONUP;
}

}  // namespace

bool ShowErrorPage(const std::string& message, const std::filesystem::path& content_dir) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) return false;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    SDL_Window* window = SDL_CreateWindow("Wrenmail", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, stage::kWidth,
                                          stage::kHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    SDL_Renderer* renderer = window != nullptr ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (renderer == nullptr) {
        if (window != nullptr) SDL_DestroyWindow(window);
        SDL_Quit();
        return false;
    }
    std::string error;
    SetUpFonts(content_dir, error);  // without harbor's fonts the page uses the system's
    const TextSystem text(HarborFontConfig());
    {
        StageView view(renderer);
        SnapshotSignal snapshots;
        bool repaint = true;
        for (;;) {
            if (repaint) {
                int w = 0;
                int h = 0;
                SDL_GetRendererOutputSize(renderer, &w, &h);
                repaint = !view.Show(FitStage(w, h), [&](cairo_t* cr) { PaintPage(cr, text, message); }, error);
            }
            if (snapshots.Take() && view.WritePng(SnapshotSignal::File(), error)) {
                std::cerr << "harbor: window picture written to " << SnapshotSignal::File().string() << "\n";
            }
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, 200) == 0) continue;
            if (Closes(event)) break;
            repaint = repaint || event.type == SDL_WINDOWEVENT;
        }
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return true;
}

}  // namespace harbor
