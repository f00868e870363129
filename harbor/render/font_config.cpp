#include "render/font_config.h"

#include <mutex>
#include <system_error>

namespace harbor {

namespace {

struct FontSetup {
    FcConfig* config = nullptr;
    std::string error;
};

FontSetup& Setup() {
    static FontSetup setup;
    return setup;
}

FcConfig* LoadConfig(const std::filesystem::path& file, std::string& error) {
    FcConfig* config = FcConfigCreate();
    if (config == nullptr) {
        error = "fontconfig cannot create a configuration";
        return nullptr;
    }
    const auto* name = reinterpret_cast<const FcChar8*>(file.c_str());
    if (!FcConfigParseAndLoad(config, name, FcTrue) || !FcConfigBuildFonts(config)) {
        error = "cannot load the font configuration " + file.string();
        FcConfigDestroy(config);
        return nullptr;
    }
    return config;
}

}  // namespace

std::vector<std::filesystem::path> FontConfigCandidates(const std::filesystem::path& content_dir) {
    return {
        content_dir / ".." / "fonts.conf",
        content_dir / ".." / "harbor" / "render" / "fonts.conf",
        std::filesystem::path(HARBOR_SOURCE_FONTS_CONF),
    };
}

bool SetUpFonts(const std::filesystem::path& content_dir, std::string& error) {
    static std::once_flag once;
    std::call_once(once, [&content_dir] {
        FontSetup& setup = Setup();
        for (const auto& candidate : FontConfigCandidates(content_dir)) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(candidate, ec)) continue;
            setup.config = LoadConfig(candidate.lexically_normal(), setup.error);
            break;
        }
        if (setup.config == nullptr && setup.error.empty()) {
            setup.error = "no fonts.conf found near " + content_dir.string();
        }
        // The process keeps one reference for its whole life: fonts laid out with it may be
        // cached by Pango until exit.
        if (setup.config != nullptr) FcConfigSetCurrent(setup.config);
    });
    error = Setup().error;
    return Setup().config != nullptr;
}

FcConfig* HarborFontConfig() { return Setup().config; }

}  // namespace harbor
