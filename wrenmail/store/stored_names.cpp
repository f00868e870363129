#include "store/stored_names.h"

#include <string_view>

namespace wm {
namespace {

// The next non-empty token from `rest` on, which moves past it.
std::string_view NextToken(std::string_view& rest) {
    const std::size_t start = rest.find_first_not_of('.');
    if (start == std::string_view::npos) {
        rest = {};
        return {};
    }
    rest.remove_prefix(start);
    const std::size_t end = rest.find('.');
    const std::string_view token = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    return token;
}

}  // namespace

bool IsMessageFileName(const char* name) {
    if (name == nullptr) {
        return false;
    }
    std::string_view rest(name);
    NextToken(rest);
    return NextToken(rest) == "wnl";
}

}  // namespace wm
