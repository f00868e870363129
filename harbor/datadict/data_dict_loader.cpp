#include "datadict/data_dict_loader.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace harbor {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string SystemError(std::string_view what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

bool IsRegularFile(std::FILE* file, std::string& error) {
    struct stat info {};
    if (fstat(fileno(file), &info) != 0) {
        error = SystemError("cannot read", errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return false;
    }
    return true;
}

// Reads at most max_bytes; a longer file is refused rather than cut.
bool ReadAll(std::FILE* file, std::size_t max_bytes, std::string& text, std::string& error) {
    char buffer[16384];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (text.size() + got > max_bytes) {
            error = "larger than the limit of " + std::to_string(max_bytes) + " bytes";
            return false;
        }
        text.append(buffer, got);
    }
    if (std::ferror(file)) {
        error = SystemError("cannot read", errno);
        return false;
    }
    return true;
}

bool ReadFile(const std::filesystem::path& path, std::size_t max_bytes, std::string& text,
              std::string& error) {
    errno = 0;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = SystemError("cannot open", errno);
        return false;
    }
    return IsRegularFile(file.get(), error) && ReadAll(file.get(), max_bytes, text, error);
}

}  // namespace

DataDictResult LoadDataDictFile(const std::filesystem::path& path, const DataDictLimits& limits) {
    std::string source = path.string();
    try {
        std::string text;
        std::string error;
        if (!ReadFile(path, limits.max_bytes, text, error)) {
            return DataDictResult{nullptr, source + ": " + error};
        }
        return ParseDataDict(text, source, limits);
    } catch (const std::bad_alloc&) {
        return DataDictResult{nullptr, source + ": out of memory"};
    }
}

}  // namespace harbor
