#include "window/plain_page.h"

#include <SDL.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <vector>

#include "render/font_config.h"
#include "render/svg_cache.h"
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
constexpr double kIconHeight = 28;
constexpr double kPictureHeight = 150;
// U+FFFC OBJECT REPLACEMENT CHARACTER: the room a picture takes in the text.
constexpr std::string_view kPictureMark = "\xEF\xBF\xBC";

TextStyle Style(const char* family, double size) {
    TextStyle style;
    style.family = family;
    style.size = size;
    style.width = stage::kWidth - 2 * kMargin;
    style.wrap = true;
    return style;
}

// A picture's place in the body's layout: the byte of its mark, and the size it is drawn at.
struct PlacedPicture {
    std::size_t index = 0;
    std::string source;
    double width = 0;
    double height = 0;
};

struct PageBody {
    std::string text;
    std::vector<PlacedPicture> pictures;
};

// The page's text with a mark where each picture stands that can be drawn: icons inside the
// line, other pictures on a line of their own, no wider than the text.
PageBody WithPictureMarks(const PlainPage& page, SvgCache& svgs, double text_width) {
    PageBody body;
    std::size_t from = 0;
    for (const PagePicture& picture : page.pictures) {
        // Only files beside the page: an address with a scheme is never fetched.
        if (picture.source.find(':') != std::string::npos) continue;
        const auto size = svgs.Size(picture.source);
        if (!size) continue;
        std::size_t at = std::clamp(picture.offset, from, page.text.size());
        while (at > from && (static_cast<unsigned char>(page.text[at]) & 0xC0) == 0x80) --at;  // a whole character
        body.text.append(page.text, from, at - from);
        const double height = std::min(picture.icon ? kIconHeight : kPictureHeight, size->second);
        const double width = std::min(text_width, size->first * height / size->second);
        body.pictures.push_back({body.text.size(), picture.source, width, size->second * width / size->first});
        body.text += kPictureMark;
        body.text += picture.icon ? " " : "\n";
        from = at;
    }
    body.text.append(page.text, from);
    return body;
}

// Keeps room in the layout for each picture: a shape as large as the picture, on the baseline.
void ReserveRoom(PangoLayout* layout, const std::vector<PlacedPicture>& pictures) {
    PangoAttrList* list = pango_attr_list_new();
    for (const PlacedPicture& picture : pictures) {
        const PangoRectangle room{0, -static_cast<int>(picture.height * PANGO_SCALE),
                                  static_cast<int>(picture.width * PANGO_SCALE),
                                  static_cast<int>(picture.height * PANGO_SCALE)};
        PangoAttribute* shape = pango_attr_shape_new(&room, &room);
        shape->start_index = static_cast<guint>(picture.index);
        shape->end_index = static_cast<guint>(picture.index + kPictureMark.size());
        pango_attr_list_insert(list, shape);
    }
    pango_layout_set_attributes(layout, list);
    pango_attr_list_unref(list);
}

// Draws each picture into the room its mark took in the layout drawn at (x, y).
void DrawPictures(cairo_t* cr, PangoLayout* layout, const std::vector<PlacedPicture>& pictures, SvgCache& svgs,
                  double x, double y) {
    PangoLayoutIter* iter = pango_layout_get_iter(layout);
    do {
        const PangoLayoutRun* run = pango_layout_iter_get_run_readonly(iter);
        if (run == nullptr) continue;
        for (const PlacedPicture& picture : pictures) {
            if (static_cast<std::size_t>(run->item->offset) != picture.index) continue;
            PangoRectangle room;
            pango_layout_iter_get_run_extents(iter, nullptr, &room);
            svgs.Draw(cr, picture.source,
                      Box{x + room.x / double(PANGO_SCALE), y + room.y / double(PANGO_SCALE), picture.width, picture.height});
        }
    } while (pango_layout_iter_next_run(iter));
    pango_layout_iter_free(iter);
}

void ShowText(cairo_t* cr, PangoLayout* layout, double x, double y) {
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
}

// Paints the page with its text moved up by `scroll`; the text's whole height comes back, so
// scrolling can stop at its end.
double PaintPage(cairo_t* cr, const TextSystem& text, const PlainPage& page, SvgCache& svgs, double scroll) {
    cairo_set_source_rgb(cr, 1.0, 0.965, 0.84);
    cairo_paint(cr);
    const TextStyle style = Style("Arial", 16);
    const PageBody marked = WithPictureMarks(page, svgs, style.width);
    GObjectPtr<PangoLayout> body = text.Layout(marked.text, style);
    ReserveRoom(body.get(), marked.pictures);
    const double height = TextSystem::Extent(body.get()).height;
    cairo_save(cr);
    cairo_rectangle(cr, 0, kTextTop - 8, stage::kWidth, kFooterTop - kTextTop);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.23);
    ShowText(cr, body.get(), kMargin, kTextTop - scroll);
    DrawPictures(cr, body.get(), marked.pictures, svgs, kMargin, kTextTop - scroll);
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
    SvgCache svgs(page.picture_dir);
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
                repaint = !view.Show(FitStage(w, h), [&](cairo_t* cr) { height = PaintPage(cr, text, page, svgs, scroll); },
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
                          "Please ask a grown-up. Click or press a key to close this window.", true, {}, {}},
                         content_dir);
}

}  // namespace harbor
