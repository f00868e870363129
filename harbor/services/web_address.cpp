#include "services/web_address.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "base/trace_log.h"
#include "services/harbor_port_service.h"

extern char** environ;

namespace harbor {

namespace {

constexpr std::string_view kFileScheme = "file://";

// "name:" before any '/' is a scheme (http:, https:, mailto:, file:).
bool HasScheme(const std::string& address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos || colon == 0 || address.find('/') < colon) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = address[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return std::isalpha(static_cast<unsigned char>(address[0])) != 0;
}

std::string PercentEncoded(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '_' || c == '-' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && ::access((std::filesystem::path(folder) / program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

// harbor itself, showing the page in its own window; reaped on the side like the browser.
void OpenInOwnViewer(const std::filesystem::path& page) {
    std::string self = "/proc/self/exe";
    std::string verb = "page";
    std::string file = page.string();
    char* argv[] = {self.data(), verb.data(), file.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0) {
        ProblemNote("HarborPort", "cannot show the page " + file);
        return;
    }
    TraceNote("HarborPort", "no browser (xdg-open): showing " + file + " in harbor's page viewer");
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
}

}  // namespace

std::string ResolveAddress(const std::string& address, const std::filesystem::path& content_dir) {
    if (address.empty() || HasScheme(address)) return address;
    std::error_code ec;
    const std::filesystem::path page = std::filesystem::absolute(content_dir / address, ec).lexically_normal();
    return std::string(kFileScheme) + PercentEncoded(page.string());
}

std::filesystem::path LocalFile(const std::string& resolved) {
    if (!resolved.starts_with(kFileScheme)) return {};
    const std::string_view encoded = std::string_view(resolved).substr(kFileScheme.size());
    std::string path;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const int high = encoded[i] == '%' && i + 2 < encoded.size() ? HexValue(encoded[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(encoded[i + 2]) : -1;
        if (low >= 0) {
            path += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            path += encoded[i];
        }
    }
    return path;
}

void OpenAddress(const std::string& address, const std::filesystem::path& content_dir) {
    const std::string resolved = ResolveAddress(address, content_dir);
    if (OnPath("xdg-open")) return OpenWithDesktop(resolved);
    const std::filesystem::path page = LocalFile(resolved);
    std::error_code ec;
    if (!page.empty() && std::filesystem::is_regular_file(page, ec)) return OpenInOwnViewer(page);
    ProblemNote("HarborPort", "no browser (xdg-open) to open \"" + resolved + "\"");
}

}  // namespace harbor
