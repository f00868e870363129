// Text layout and measurement with machine-independent metrics: hinting of metrics off, hint
// style none, grey antialiasing, unrounded glyph positions, sizes in pixels (Pango's absolute
// size). Both the scene painter and the module's canvas lay text out through this, so a text
// measured by one is drawn the same size by the other.
#ifndef HARBOR_RENDER_TEXT_SYSTEM_H
#define HARBOR_RENDER_TEXT_SYSTEM_H

#include <cstdint>
#include <string>
#include <string_view>

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pango.h>

#include "render/gobject_ptr.h"
#include "scene/scene_def.h"

namespace harbor {

struct TextStyle {
    std::string family;  // as the content names it; the font configuration's aliases apply
    double size = 16;    // pixels
    TextAlign align = TextAlign::Left;
    // Width of the box the text is aligned in, in pixels; 0 or less: no box, one line per
    // paragraph, left aligned.
    double width = 0;
    bool wrap = false;  // in a box: break lines at blanks; otherwise one line cut with "…"
};

// The logical extent of laid-out text, in pixels.
struct TextExtent {
    double x = 0;  // offset of the ink's logical box inside the layout box (alignment)
    double width = 0;
    double height = 0;
    double baseline = 0;  // of the first line, from the top
    int lines = 0;
};

class TextSystem {
public:
    // Fonts come from `config` (null: fontconfig's current configuration).
    explicit TextSystem(FcConfig* config);
    TextSystem(const TextSystem&) = delete;
    TextSystem& operator=(const TextSystem&) = delete;

    PangoContext* Context() const { return context_.get(); }

    GObjectPtr<PangoLayout> Layout(std::string_view text, const TextStyle& style) const;
    TextExtent Measure(std::string_view text, const TextStyle& style) const;
    static TextExtent Extent(PangoLayout* layout);
    // The x of the caret before byte `index` of the layout's text, in pixels.
    static double CaretX(PangoLayout* layout, std::size_t index);

    // The family a request for `family` ends up with (the first font of its set).
    std::string ResolvedFamily(const std::string& family) const;

    // The font options every layout uses; for canvases that draw text with Cairo directly.
    static FontOptionsPtr MetricsOptions();

private:
    FontDescriptionPtr Description(const TextStyle& style) const;

    GObjectPtr<PangoFontMap> font_map_;
    GObjectPtr<PangoContext> context_;
};

}  // namespace harbor

#endif
