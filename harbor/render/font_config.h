// Harbor's own fontconfig configuration (fonts.conf beside this file, installed next to the
// content): loaded once per process, before any text is laid out, and made the current
// configuration so every font lookup in the process sees the same families.
#ifndef HARBOR_RENDER_FONT_CONFIG_H
#define HARBOR_RENDER_FONT_CONFIG_H

#include <filesystem>
#include <string>
#include <vector>

#include <fontconfig/fontconfig.h>

namespace harbor {

// Where fonts.conf may be, in the order tried: beside an installed content folder, in the source
// tree that holds `content_dir`, then the source tree Harbor was built from.
std::vector<std::filesystem::path> FontConfigCandidates(const std::filesystem::path& content_dir);

// Loads the configuration from the first candidate that exists. Only the first call of the
// process loads anything; later calls answer what it did. On failure fontconfig's default
// configuration stays current and `error` says why.
bool SetUpFonts(const std::filesystem::path& content_dir, std::string& error);

// The configuration loaded by SetUpFonts, or null before it or when it failed.
FcConfig* HarborFontConfig();

}  // namespace harbor

#endif
