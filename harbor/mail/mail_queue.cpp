#include "mail/mail_queue.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <charconv>
#include <ctime>
#include <cstdio>

#include "mail/durable_dirs.h"

namespace harbor {

namespace {

constexpr std::size_t kNumberDigits = 16;
constexpr std::string_view kSuffix = ".eml";
constexpr std::size_t kMaxMessageBytes = std::size_t{256} << 20;

uint64_t NumberOf(const std::string& name) {
    uint64_t n = 0;
    std::from_chars(name.data(), name.data() + kNumberDigits, n);
    return n;
}

std::string NameOf(uint64_t n) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%016llu", static_cast<unsigned long long>(n));
    return std::string(buffer) + std::string(kSuffix);
}

}  // namespace

bool MailQueue::IsEntryName(const std::string& name) {
    if (name.size() != kNumberDigits + kSuffix.size() || !name.ends_with(kSuffix)) return false;
    for (std::size_t i = 0; i < kNumberDigits; ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
    }
    return true;
}

MailQueue::MailQueue(std::filesystem::path dir, bool durable, const std::filesystem::path& root)
    : path_(std::move(dir)), durable_(durable) {
    dir_ = OpenOrCreateDirectory(path_, durable_, error_, root);
    if (!dir_.Valid()) return;
    RemoveStaleTemps(dir_.Get());
    const std::vector<std::string> entries = Entries();
    if (!entries.empty()) next_ = NumberOf(entries.back()) + 1;
}

// Names are taken exclusively, never renamed over: a second process putting into the same queue
// (its counter read at its own start) steps past the names the first one took.
std::string MailQueue::Put(std::string_view bytes) {
    if (!dir_.Valid()) return {};
    for (;;) {
        const std::string name = NameOf(next_++);
        bool taken = false;
        if (WriteNewFile(dir_.Get(), name, bytes, durable_, hook_, error_, taken)) return name;
        if (!taken) return {};
    }
}

std::vector<std::string> MailQueue::Entries() const {
    std::vector<std::string> entries;
    if (!dir_.Valid()) return entries;
    for (std::string& name : ListFiles(dir_.Get())) {
        if (IsEntryName(name)) entries.push_back(std::move(name));
    }
    return entries;
}

bool MailQueue::Read(const std::string& entry, std::string& out) const {
    std::string error;
    return dir_.Valid() && IsEntryName(entry) && ReadRegularFile(dir_.Get(), entry, kMaxMessageBytes, out, error);
}

long long MailQueue::AgeOf(const std::string& entry) const {
    struct stat st {};
    if (!dir_.Valid() || !IsEntryName(entry) || ::fstatat(dir_.Get(), entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    return static_cast<long long>(std::time(nullptr)) - static_cast<long long>(st.st_mtime);
}

uint64_t MailQueue::SizeOf(const std::string& entry) const {
    struct stat st {};
    if (!dir_.Valid() || !IsEntryName(entry) || ::fstatat(dir_.Get(), entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    return static_cast<uint64_t>(st.st_size);
}

bool MailQueue::Remove(const std::string& entry) {
    return dir_.Valid() && IsEntryName(entry) && RemoveFile(dir_.Get(), entry, durable_);
}

}  // namespace harbor
