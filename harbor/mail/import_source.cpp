#include "mail/import_source.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>

#include "fileio/unique_fd.h"

namespace harbor {

namespace {

constexpr std::size_t kMaxSubject = 60;

bool ReadLimited(std::istream& in, const std::string& file, std::string& text, std::string& error) {
    text.clear();
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxImportRead) {
            error = file + ": more than " + MiB(kMaxImportRead) + ", the most an import reads";
            return false;
        }
    }
    return true;
}

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(std::string text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string Trimmed(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}

}  // namespace

std::string MiB(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

bool ReadImportSource(const std::string& file, std::istream& in, std::string& text, std::string& error) {
    if (file == "-") return ReadLimited(in, "standard input", text, error);
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        error = file + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = file + ": is a folder; name the files in it";
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = file + ": not a regular file";
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > kMaxImportRead) {
        error = file + ": " + MiB(static_cast<std::size_t>(st.st_size)) + ", larger than the " + MiB(kMaxImportRead) +
                " an import reads";
        return false;
    }
    text.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::read(fd.Get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);  // a file that shrank meanwhile gives what it had
    return true;
}

std::string PlainImportSubject(const std::string& file, const std::string& text) {
    std::string subject;
    if (file != "-") {
        subject = std::filesystem::path(file).stem().string();
    } else {
        std::size_t start = 0;
        while (subject.empty() && start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            subject = Trimmed(text.substr(start, end - start));
            start = end + 1;
        }
    }
    return CutUtf8(subject, kMaxSubject);
}

std::string PlainImportSender() {
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_name != nullptr && *user->pw_name) {
        return user->pw_name;
    }
    return "parent";
}

}  // namespace harbor
