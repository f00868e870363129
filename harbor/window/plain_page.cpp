#include "window/plain_page.h"

#include <SDL.h>
#include <pango/pangocairo.h>

#include <algorithm>
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

constexpr double kMargin = 40;
constexpr double kTextTop = 100;
constexpr double kFooterTop = 440;
constexpr double kScrollStep = 40;

TextStyle Style(const char* family, double size) {
    TextStyle style;
    style.family = family;
    style.size = size;
    style.width = stage::kWidth - 2 * kMargin;
    style.wrap = true;
    return style;
}

void ShowText(cairo_t* cr, PangoLayout* layout, double x, double y) {
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
}

// Paints the page with its text moved up by `scroll`; the text's whole height comes back, so
// scrolling can stop at its end.
double PaintPage(cairo_t* cr, const TextSystem& text, const PlainPage& page, double scroll) {
    cairo_set_source_rgb(cr, 1.0, 0.965, 0.84);
    cairo_paint(cr);
    GObjectPtr<PangoLayout> body = text.Layout(page.text, Style("Arial", 16));
    const double height = TextSystem::Extent(body.get()).height;
    cairo_save(cr);
    cairo_rectangle(cr, 0, kTextTop - 8, stage::kWidth, kFooterTop - kTextTop);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.23);
    ShowText(cr, body.get(), kMargin, kTextTop - scroll);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 0.84, 0.2, 0.35);
    cairo_rectangle(cr, 0, 0, stage::kWidth, 10);
    cairo_fill(cr);
    ShowText(cr, text.Layout(page.title, Style("Comic Sans MS", 30)).get(), kMargin, 36);
    cairo_set_source_rgb(cr, 0.23, 0.44, 0.71);
    ShowText(cr, text.Layout(page.footer, Style("Arial", 14)).get(), kMargin, kFooterTop + 8);
    return height;
}

bool Closes(const SDL_Event& event, bool any_input) {
    if (event.type == SDL_QUIT) return true;
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) return true;
    return any_input && (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONUP);
}

// How far an event scrolls the text, in stage pixels.
double ScrollBy(const SDL_Event& event) {
    if (event.type == SDL_MOUSEWHEEL) return -event.wheel.y * kScrollStep;
    if (event.type != SDL_KEYDOWN) return 0;
    switch (event.key.keysym.sym) {
        case SDLK_DOWN: return kScrollStep;
        case SDLK_UP: return -kScrollStep;
        case SDLK_PAGEDOWN: case SDLK_SPACE: return kFooterTop - kTextTop - kScrollStep;
        case SDLK_PAGEUP: return -(kFooterTop - kTextTop - kScrollStep);
        default: return 0;
    }
}

}  // namespace

bool ShowPlainPage(const PlainPage& page, const std::filesystem::path& content_dir) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) return false;
    // Before the window shows: a picture asked for as soon as it is seen must not end harbor.
    SnapshotSignal snapshots;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    SDL_Window* window = SDL_CreateWindow(page.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          stage::kWidth, stage::kHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
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
        double scroll = 0;
        double height = 0;
        bool repaint = true;
        for (;;) {
            if (repaint) {
                int w = 0;
                int h = 0;
                SDL_GetRendererOutputSize(renderer, &w, &h);
                repaint = !view.Show(FitStage(w, h), [&](cairo_t* cr) { height = PaintPage(cr, text, page, scroll); },
                                     error);
            }
            if (snapshots.Take() && view.WritePng(SnapshotSignal::File(), error)) {
                std::cerr << "harbor: window picture written to " << SnapshotSignal::File().string() << "\n";
            }
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, 200) == 0) continue;
            if (Closes(event, page.any_input_closes)) break;
            if (const double by = ScrollBy(event); by != 0) {
                scroll = std::clamp(scroll + by, 0.0, std::max(0.0, height - (kFooterTop - kTextTop - 16)));
                repaint = true;
            }
            repaint = repaint || event.type == SDL_WINDOWEVENT;
        }
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return true;
}

bool ShowErrorPage(const std::string& message, const std::filesystem::path& content_dir) {
    return ShowPlainPage({"Wrenmail cannot start", message,
                          "Please ask a grown-up. Click or press a key to close this window.", true},
                         content_dir);
}

}  // namespace harbor
