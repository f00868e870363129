#include "window/stage_view.h"

#include <SDL.h>

#include <system_error>

namespace harbor {

StageView::~StageView() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
}

bool StageView::Resize(int32_t width, int32_t height, std::string& error) {
    if (texture_ != nullptr && width == width_ && height == height_) return true;
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (surface_ != nullptr) cairo_surface_destroy(surface_);
    texture_ = nullptr;
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot make the stage picture: ") + cairo_status_to_string(cairo_surface_status(surface_));
        return false;
    }
    // Cairo's ARGB32 is a native 32-bit word, as SDL's ARGB8888; it is premultiplied where SDL's
    // is not, which does not matter because the stage is opaque and copied without blending.
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (texture_ == nullptr) {
        error = std::string("cannot make the stage texture: ") + SDL_GetError();
        return false;
    }
    SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
    width_ = width;
    height_ = height;
    return true;
}

bool StageView::Show(const Letterbox& box, const Paint& paint, std::string& error) {
    if (!Resize(box.width, box.height, error)) return false;
    cairo_t* cr = cairo_create(surface_);
    // White under everything: whatever the painter leaves uncovered is opaque too.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_scale(cr, static_cast<double>(box.width) / stage::kWidth, static_cast<double>(box.height) / stage::kHeight);
    if (paint) paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface_);
    if (SDL_UpdateTexture(texture_, nullptr, cairo_image_surface_get_data(surface_),
                          cairo_image_surface_get_stride(surface_)) != 0) {
        error = std::string("cannot fill the stage texture: ") + SDL_GetError();
        return false;
    }
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect target{box.x, box.y, box.width, box.height};
    SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
    return true;
}

bool StageView::WritePng(const std::filesystem::path& file, std::string& error) const {
    if (surface_ == nullptr) {
        error = "nothing painted yet";
        return false;
    }
    std::filesystem::path part = file;
    part += ".part";
    const cairo_status_t status = cairo_surface_write_to_png(surface_, part.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        error = cairo_status_to_string(status);
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(part, file, ec);
    if (ec) error = ec.message();
    return !ec;
}

}  // namespace harbor
