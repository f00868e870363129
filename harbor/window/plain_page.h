// A plain page in the window for a problem that stops harbor before the module runs (a data or
// content folder that cannot be used): someone who started harbor from a menu sees why instead
// of a blank window or nothing at all. The page stays until it is closed, clicked, or a key is
// pressed; SIGUSR1 writes it to a picture as the stage window does.
#ifndef HARBOR_WINDOW_ERROR_PAGE_H
#define HARBOR_WINDOW_ERROR_PAGE_H

#include <filesystem>
#include <string>

namespace harbor {

// Shows `message` under a short heading. False when no window could be opened (no display).
bool ShowErrorPage(const std::string& message, const std::filesystem::path& content_dir);

}  // namespace harbor

#endif
