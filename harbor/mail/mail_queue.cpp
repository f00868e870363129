#include "mail/mail_queue.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>

#include "fileio/held_files.h"
#include "mail/durable_dirs.h"

namespace harbor {

namespace {

constexpr std::size_t kNumberDigits = 16;
constexpr uint64_t kLargestNumber = 9999999999999999ULL;  // the most 16 digits can hold
constexpr std::string_view kSuffix = ".eml";
constexpr std::size_t kMaxMessageBytes = std::size_t{256} << 20;

std::string NameOf(uint64_t n) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%016llu", static_cast<unsigned long long>(n));
    return std::string(buffer) + std::string(kSuffix);
}

constexpr std::string_view kNoteSuffix = ".sent";
constexpr std::size_t kMaxNoteBytes = 64 * 1024;

std::string NoteOf(const std::string& entry) { return entry.substr(0, kNumberDigits) + std::string(kNoteSuffix); }

}  // namespace

uint64_t MailQueue::NumberOf(const std::string& name) {
    uint64_t n = 0;
    if (name.size() >= kNumberDigits) std::from_chars(name.data(), name.data() + kNumberDigits, n);
    return n;
}

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
    RemoveOrphanNotes();
    const std::vector<std::string> entries = Entries();
    next_ = FirstNumber();
    if (!entries.empty()) next_ = std::max(next_, NumberOf(entries.back()) + 1);
}

uint64_t MailQueue::FirstNumber() { return static_cast<uint64_t>(std::time(nullptr)) * 1000; }

// A note whose entry is gone: the crash came between removing the entry and removing its note.
void MailQueue::RemoveOrphanNotes() {
    std::set<uint64_t> entries;
    for (const std::string& entry : Entries()) entries.insert(NumberOf(entry));
    for (const std::string& name : ListFiles(dir_.Get())) {
        if (name.size() == kNumberDigits + kNoteSuffix.size() && name.ends_with(kNoteSuffix) &&
            entries.count(NumberOf(name)) == 0) {
            RemoveFile(dir_.Get(), name, false);
        }
    }
}

std::string MailQueue::PutOnce(uint64_t number, std::string_view bytes) {
    if (!dir_.Valid()) return {};
    const std::string name = NameOf(number);
    bool taken = false;
    if (WriteNewFile(dir_.Get(), name, bytes, durable_, hook_, error_, taken)) return name;
    if (!taken) return {};
    std::string there;
    if (Read(name, there) && there == bytes) return name;
    return Put(bytes);
}

// Names are taken exclusively, never renamed over: a second process putting into the same queue
// (its counter read at its own start) steps past the names the first one took.
std::string MailQueue::Put(std::string_view bytes) {
    if (!dir_.Valid()) return {};
    for (;;) {
        // A file planted or damaged with the largest number would push the next ones to 17 digits,
        // names no listing of the queue takes for entries: the mail would be kept but never seen.
        // Numbering starts again at the clock instead, stepping past the names taken.
        if (next_ > kLargestNumber) next_ = FirstNumber();
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
    if (!dir_.Valid() || !IsEntryName(entry) || !RemoveFile(dir_.Get(), entry, durable_)) return false;
    RemoveFile(dir_.Get(), NoteOf(entry), false);
    return true;
}

bool MailQueue::Hold(const std::string& entry, int root, const std::vector<std::string>& path) {
    if (!dir_.Valid() || !IsEntryName(entry) || !HoldFile(root, path, dir_.Get(), entry, durable_, error_)) return false;
    RemoveFile(dir_.Get(), NoteOf(entry), false);
    return true;
}

bool MailQueue::AppendNote(const std::string& entry, std::string_view line) {
    if (!dir_.Valid() || !IsEntryName(entry)) return false;
    UniqueFd note(::openat(dir_.Get(), NoteOf(entry).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600));
    const std::string text = std::string(line) + "\n";
    if (!note.Valid() || ::write(note.Get(), text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        error_ = std::string("cannot note progress: ") + std::strerror(errno);
        return false;
    }
    return !durable_ || ::fsync(note.Get()) == 0;
}

std::string MailQueue::ReadNote(const std::string& entry) const {
    std::string text;
    std::string error;
    if (dir_.Valid() && IsEntryName(entry)) ReadRegularFile(dir_.Get(), NoteOf(entry), kMaxNoteBytes, text, error);
    return text;
}

}  // namespace harbor
