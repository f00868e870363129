// The stage on screen: painted with Cairo at the size it takes in the window (so it stays crisp
// at any scale), copied to an SDL texture and shown in its letterbox, bars black.
#ifndef HARBOR_WINDOW_STAGE_VIEW_H
#define HARBOR_WINDOW_STAGE_VIEW_H

#include <SDL_render.h>
#include <cairo.h>

#include <filesystem>
#include <functional>
#include <string>

#include "window/letterbox.h"

namespace harbor {

class StageView {
public:
    // Draws the 640x480 stage in stage coordinates; the view scales the context beforehand.
    using Paint = std::function<void(cairo_t*)>;

    explicit StageView(SDL_Renderer* renderer) : renderer_(renderer) {}
    ~StageView();
    StageView(const StageView&) = delete;
    StageView& operator=(const StageView&) = delete;

    // Paints the stage into `box` of the renderer's output and presents the frame. False (with
    // `error`) when the texture cannot be made or filled.
    bool Show(const Letterbox& box, const Paint& paint, std::string& error);
    // The last painted stage as a PNG, written whole or not at all.
    bool WritePng(const std::filesystem::path& file, std::string& error) const;

private:
    bool Resize(int32_t width, int32_t height, std::string& error);

    SDL_Renderer* renderer_;
    SDL_Texture* texture_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

}  // namespace harbor

#endif
