// A plain page in a window of its own: a heading, wrapped text and a line at the foot, in the
// program's colours. Two uses: a problem that stops harbor before the module runs (a data or
// content folder that cannot be used), so that someone who started harbor from a menu sees why
// instead of a blank window; and the built-in viewer for the parents' pages when the computer has
// no browser, its pictures drawn where they stand in the text. Arrows, Page Up/Down and the wheel
// scroll a long page; SIGUSR1 writes the page to a picture as the stage window does.
#ifndef HARBOR_WINDOW_PLAIN_PAGE_H
#define HARBOR_WINDOW_PLAIN_PAGE_H

#include <filesystem>
#include <string>
#include <vector>

#include "services/page_text.h"

namespace harbor {

struct PlainPage {
    std::string title;
    std::string text;    // paragraphs separated by blank lines
    std::string footer;  // how to close it
    bool any_input_closes = false;  // otherwise only Escape and closing the window do
    std::vector<PagePicture> pictures;   // SVG pictures placed in `text`
    std::filesystem::path picture_dir;   // what their sources are relative to
};

// Shows the page until it is closed. False when no window could be opened (no display).
bool ShowPlainPage(const PlainPage& page, const std::filesystem::path& content_dir);

// The page for a problem that stops harbor; any click or key closes it.
bool ShowErrorPage(const std::string& message, const std::filesystem::path& content_dir);

}  // namespace harbor

#endif
