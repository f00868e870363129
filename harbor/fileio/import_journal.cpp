#include "fileio/import_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/trace_log.h"
#include "fileio/atomic_file.h"
#include "fileio/checksum.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_handles.h"
#include "fileio/file_names.h"

namespace harbor {

namespace {

constexpr std::size_t kMaxNoteBytes = 4096;
constexpr std::size_t kMaxImportBytes = std::size_t{64} << 20;

bool Crc32Of(int dir, const std::string& name, uint32_t& crc) {
    std::string bytes, why;
    if (!ReadRegularFile(dir, name, kMaxImportBytes, bytes, why)) return false;
    crc = Crc32(bytes.data(), bytes.size());
    return true;
}

std::string Joined(const std::vector<std::string>& folder, const std::string& name) {
    std::string path;
    for (const std::string& part : folder) path += part + "/";
    return path + name;
}

// True when the message file at `path` below the root holds a letter: a dictionary of entries.
bool LetterStored(int root, const std::vector<std::string>& path) {
    const std::vector<std::string> folder(path.begin(), path.end() - 1);
    UniqueFd dir = OpenPath(root, folder);
    std::string bytes, why;
    std::vector<DictFileEntry> entries;
    return dir.Valid() && ReadRegularFile(dir.Get(), path.back(), kMaxDictFileBytes, bytes, why) &&
           DecodeDictFile(bytes, entries) && !entries.empty();
}

}  // namespace

bool ParseImportNote(std::string_view text, ImportNote& note) {
    note = ImportNote{};
    std::vector<std::string_view> lines;
    while (!text.empty() && lines.size() < 4) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) return false;  // cut short
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    if (lines.size() != 3 || !text.empty() || RefusedName(lines[0]) != nullptr) return false;
    if (lines[1].size() != 8 || lines[1].find_first_not_of("0123456789abcdef") != std::string_view::npos) return false;
    note.name = lines[0];
    note.crc = static_cast<uint32_t>(std::strtoul(std::string(lines[1]).c_str(), nullptr, 16));
    for (std::string_view rest = lines[2]; note.letter.size() <= kMaxNoteDepth;) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (RefusedName(part) != nullptr) return false;
        note.letter.emplace_back(part);
        if (slash == std::string_view::npos) return note.letter.size() >= 2;
        rest.remove_prefix(slash + 1);
    }
    return false;
}

std::string ImportNoteText(const ImportNote& note) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(note.crc));
    const std::vector<std::string> folder(note.letter.begin(), note.letter.end() - 1);
    return note.name + "\n" + crc + "\n" + Joined(folder, note.letter.back()) + "\n";
}

bool ImportJournal::IsImportFolder(const std::vector<std::string>& folder) const {
    return folder.size() == 1 && folder[0] == FirstSpelling(root_, std::string(kImportFolder));
}

void ImportJournal::NoteRead(const std::vector<std::string>& path) {
    if (path.size() != 2 || !IsImportFolder({path[0]})) return;
    UniqueFd dir = OpenSubdirectory(root_, path[0]);
    if (dir.Valid() && Crc32Of(dir.Get(), path[1], crc_)) reading_ = path[1];
}

void ImportJournal::BeforeFill(const std::vector<std::string>& folder, const std::string& name) {
    if (reading_.empty()) return;
    ImportNote note{reading_, crc_, folder};
    note.letter.push_back(name);
    reading_.clear();  // one letter per import file
    std::string why;
    if (!WriteAtomically(root_, std::string(kImportJournal), ImportNoteText(note), durable_, nullptr, why)) {
        ProblemNote("FileIOPort", "cannot note the import of " + Quoted(note.name) + ": " + why);
        return;
    }
    noted_ = note.name;
}

void ImportJournal::NoteDeleted(const std::vector<std::string>& folder, const std::string& name) {
    if (!IsImportFolder(folder)) return;
    if (name == reading_) reading_.clear();
    // The module's delete is on the disk already: the note can go without a flush.
    if (name == noted_ && ::unlinkat(root_, std::string(kImportJournal).c_str(), 0) == 0) noted_.clear();
}

std::string ImportJournal::Settle() {
    std::string bytes, why;
    if (root_ < 0 || !ReadRegularFile(root_, std::string(kImportJournal), kMaxNoteBytes, bytes, why)) return {};
    std::string removed;
    ImportNote note;
    UniqueFd dir = OpenSubdirectory(root_, FirstSpelling(root_, std::string(kImportFolder)));
    uint32_t crc = 0;
    if (ParseImportNote(bytes, note) && dir.Valid() && Crc32Of(dir.Get(), note.name, crc) && crc == note.crc &&
        LetterStored(root_, note.letter) && ::unlinkat(dir.Get(), note.name.c_str(), 0) == 0) {
        if (durable_) ::fsync(dir.Get());
        removed = note.name;
    }
    ::unlinkat(root_, std::string(kImportJournal).c_str(), 0);
    return removed;
}

}  // namespace harbor
