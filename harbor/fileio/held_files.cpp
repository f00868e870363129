#include "fileio/held_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>

#include <fstream>
#include <iterator>

#include "fileio/atomic_file.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_handles.h"
#include "fileio/file_names.h"
#include "fileio/unique_fd.h"

namespace harbor {

namespace {

constexpr mode_t kDirMode = 0700;
constexpr long long kDaySeconds = 24 * 60 * 60;

UniqueFd Dup(int fd) { return UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0)); }

// Enters `name` under `dir`, making it first when missing; never through a link.
UniqueFd EnterOrMake(int dir, const std::string& name) {
    if (::mkdirat(dir, name.c_str(), kDirMode) != 0 && errno != EEXIST) return UniqueFd();
    return OpenSubdirectory(dir, name);
}

std::string NewEntryName() {
    static unsigned long long sequence = 0;
    return std::to_string(static_cast<long long>(std::time(nullptr))) + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(++sequence);
}

long long HeldAt(const std::string& id) {
    long long seconds = -1;
    const auto [end, ec] = std::from_chars(id.data(), id.data() + id.size(), seconds);
    return ec == std::errc() && end != id.data() && *end == '-' ? seconds : -1;
}

std::filesystem::path Under(const std::filesystem::path& base, const std::vector<std::string>& parts) {
    std::filesystem::path out = base;
    for (const std::string& part : parts) out /= part;
    return out;
}

// The one file an entry folder holds, as its path below the entry; empty when there is none.
std::vector<std::string> EntryFile(const std::filesystem::path& entry) {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(entry, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
        std::vector<std::string> parts;
        for (const auto& part : std::filesystem::relative(it->path(), entry)) parts.push_back(part.string());
        const bool named_well = std::all_of(parts.begin(), parts.end(),
                                            [](const std::string& p) { return RefusedName(p) == nullptr; });
        if (named_well) return parts;
    }
    return {};
}

}  // namespace

bool IsFolderCounter(std::string_view name) { return name == "folder.dat"; }

bool IsMessageFile(std::string_view name) {
    if (!name.starts_with("WN") || !name.ends_with(".wnl") || name.size() <= 6) return false;
    const std::string_view digits = name.substr(2, name.size() - 6);
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool HoldFile(int root, const std::vector<std::string>& path, int dir, const std::string& name, bool durable,
              std::string& error) {
    UniqueFd at = EnterOrMake(root, std::string(kHeldFolder));
    if (at.Valid()) at = EnterOrMake(at.Get(), NewEntryName());
    for (const std::string& part : path) {
        if (at.Valid()) at = EnterOrMake(at.Get(), part);
    }
    if (!at.Valid()) {
        error = std::string("cannot make room in the holding area: ") + std::strerror(errno);
        return false;
    }
    if (::renameat(dir, name.c_str(), at.Get(), name.c_str()) != 0) {
        error = std::string("cannot move it to the holding area: ") + std::strerror(errno);
        return false;
    }
    if (durable) {
        ::fsync(at.Get());
        ::fsync(dir);
    }
    return true;
}

std::vector<HeldFile> ListHeld(const std::filesystem::path& data_root) {
    std::vector<HeldFile> held;
    std::error_code ec;
    const std::filesystem::path area = data_root / kHeldFolder;
    if (std::filesystem::is_symlink(area, ec)) return held;
    for (const auto& entry : std::filesystem::directory_iterator(area, ec)) {
        const std::string id = entry.path().filename().string();
        if (HeldAt(id) < 0 || entry.is_symlink(ec) || !entry.is_directory(ec)) continue;
        std::vector<std::string> path = EntryFile(entry.path());
        if (!path.empty()) held.push_back({id, std::move(path), HeldAt(id)});
    }
    std::sort(held.begin(), held.end(), [](const HeldFile& a, const HeldFile& b) {
        return a.held_at != b.held_at ? a.held_at < b.held_at : a.id < b.id;
    });
    return held;
}

bool RestoreHeld(const std::filesystem::path& data_root, const std::string& id, std::string& error) {
    const std::vector<HeldFile> held = ListHeld(data_root);
    const auto it = std::find_if(held.begin(), held.end(), [&](const HeldFile& h) { return h.id == id; });
    if (RefusedName(id) != nullptr || it == held.end()) {
        error = "nothing is held as " + id;
        return false;
    }
    const std::filesystem::path entry = data_root / kHeldFolder / id;
    UniqueFd root(::open(data_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    UniqueFd to = root.Valid() ? Dup(root.Get()) : UniqueFd();
    const std::vector<std::string> folders(it->path.begin(), it->path.end() - 1);
    for (const std::string& part : folders) {
        if (to.Valid()) to = EnterOrMake(to.Get(), part);
    }
    UniqueFd source(::open(Under(entry, folders).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const std::string& name = it->path.back();
    if (!to.Valid() || !source.Valid()) {
        error = "cannot reach " + Under("", it->path).string() + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstatat(to.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        error = Under("", it->path).string() + " is there again: move it away first";
        return false;
    }
    if (::renameat(source.Get(), name.c_str(), to.Get(), name.c_str()) != 0) {
        error = "cannot move it back: " + std::string(std::strerror(errno));
        return false;
    }
    ::fsync(to.Get());
    std::error_code ec;
    std::filesystem::remove_all(entry, ec);
    return true;
}

namespace {

constexpr std::uintmax_t kLargestEmptyDictFile = 64;

bool IsEmptyDictFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<DictFileEntry> entries;
    return DecodeDictFile(bytes, entries) && entries.empty();
}

}  // namespace

std::size_t HoldEmptyMessageFiles(int root, const std::filesystem::path& data_root, bool durable) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    std::filesystem::recursive_directory_iterator it(data_root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (it->is_directory(ec) && !it->is_symlink(ec) && name.starts_with(".")) {
            it.disable_recursion_pending();  // the holding area, the post office
            continue;
        }
        if (it->symlink_status(ec).type() != std::filesystem::file_type::regular || !IsMessageFile(name)) continue;
        if (it->file_size(ec) <= kLargestEmptyDictFile && IsEmptyDictFile(it->path())) found.push_back(it->path());
    }
    std::size_t held = 0;
    for (const std::filesystem::path& file : found) {
        std::vector<std::string> path;
        for (const auto& part : std::filesystem::relative(file.parent_path(), data_root)) {
            if (part != ".") path.push_back(part.string());
        }
        UniqueFd dir = OpenPath(root, path);
        std::string error;
        if (dir.Valid() && HoldFile(root, path, dir.Get(), file.filename().string(), durable, error)) ++held;
    }
    return held;
}

std::size_t SweepHeld(const std::filesystem::path& data_root, long long now) {
    std::size_t swept = 0;
    std::error_code ec;
    const std::filesystem::path area = data_root / kHeldFolder;
    if (std::filesystem::is_symlink(area, ec)) return 0;
    for (const auto& entry : std::filesystem::directory_iterator(area, ec)) {
        const long long at = HeldAt(entry.path().filename().string());
        if (at < 0 || now - at <= kHeldDays * kDaySeconds || entry.is_symlink(ec)) continue;
        if (std::filesystem::remove_all(entry.path(), ec) > 0) ++swept;
    }
    return swept;
}

}  // namespace harbor
