// The window's word on printing: where the last finished letter went (the PDF file, the
// printer) or why printing failed, shown as a banner along the bottom of the stage for a few
// seconds over whatever scene is up.
#ifndef HARBOR_PRINT_PRINT_NOTICE_H
#define HARBOR_PRINT_PRINT_NOTICE_H

#include <cstdint>
#include <string>

#include <cairo.h>

namespace harbor {

class PrintNotice {
public:
    static constexpr uint64_t kShownMs = 6000;

    // Shows `text` from `now_ms` on.
    void Show(std::string text, uint64_t now_ms);
    bool Shown(uint64_t now_ms) const { return !text_.empty() && now_ms - since_ms_ < kShownMs; }
    const std::string& Text() const { return text_; }
    // Draws the banner in stage coordinates (640 by 480) while it is shown.
    void Paint(cairo_t* cr, uint64_t now_ms) const;

private:
    std::string text_;
    uint64_t since_ms_ = 0;
};

}  // namespace harbor

#endif
