#include "mail/mail_domain.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "mail/post_office.h"

namespace harbor {

std::string MailDomainFromSettings(const std::filesystem::path& content_dir) {
    std::ifstream in(content_dir / "WNSettings.dct", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const nlohmann::json settings = nlohmann::json::parse(text.str(), nullptr, false, true);
    if (settings.is_object()) {
        auto it = settings.find("DOMAIN");
        if (it != settings.end() && it->is_string() && !it->get<std::string>().empty()) return it->get<std::string>();
    }
    return std::string(kDefaultMailDomain);
}

}  // namespace harbor
