// The import journal. The module imports a file of the data root's "Import" folder by storing
// its letter as a message file in an InBox and then deleting the import file; a crash between
// the two would store the letter again at the next start. Harbor closes that gap here: when the
// module has read an import file and a message file is then filled, the journal first notes,
// durably, the import file (its name and the checksum of its bytes) and the message file; the
// module's delete of the import file drops the note. At the next start, a note whose message
// file holds a letter and whose import file is still there, unchanged, removes that import file.
//
//   <root>/.import-journal   three lines: the import file's name, its CRC-32 in hex, and the
//                            message file's path below the root ("MailBoxes/Players/p7/InBox/WN3.wnl")
//
// The name is refused to the module (file_names.h), so it never lists, reads or deletes it.
#ifndef HARBOR_FILEIO_IMPORT_JOURNAL_H
#define HARBOR_FILEIO_IMPORT_JOURNAL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

inline constexpr std::string_view kImportFolder = "Import";
inline constexpr std::string_view kImportJournal = ".import-journal";
inline constexpr std::size_t kMaxNoteDepth = 16;  // folders above the message file, at most

struct ImportNote {
    std::string name;                 // of the import file
    uint32_t crc = 0;                 // of its bytes
    std::vector<std::string> letter;  // the message file's path below the root, its name last
};

// The journal's text: false for anything but three well-formed lines (refused names, a path of
// fewer than two or over kMaxNoteDepth folders, a checksum not of 8 lowercase hex digits).
bool ParseImportNote(std::string_view text, ImportNote& note);
std::string ImportNoteText(const ImportNote& note);

class ImportJournal {
public:
    // `root` is the data root's open descriptor, borrowed; `durable` flushes the note.
    ImportJournal(int root, bool durable) : root_(root), durable_(durable) {}

    // The module read the file at `path` below the root; only a file directly in the Import
    // folder (found ignoring letter case) is remembered.
    void NoteRead(const std::vector<std::string>& path);
    // Before the message file `name` of `folder` (below the root) is filled: notes the import
    // file read last, once. A note that cannot be written is said on stderr and the save goes
    // on: a letter twice is better than a letter lost.
    void BeforeFill(const std::vector<std::string>& folder, const std::string& name);
    // True when `name` of `folder` is an import file whose letter was not stored in this run
    // (it could not be read as one, named no player, or the save failed).
    bool Unimported(const std::vector<std::string>& folder, const std::string& name) const {
        return IsImportFolder(folder) && name != noted_;
    }
    // The module deleted `name` of `folder`: a note about that import file is dropped.
    void NoteDeleted(const std::vector<std::string>& folder, const std::string& name);

    // At start: settles what a crash left. Returns the name of the import file it removed, or "".
    std::string Settle();

private:
    bool IsImportFolder(const std::vector<std::string>& folder) const;

    int root_;
    bool durable_;
    std::string reading_;  // the import file read last, not yet noted or deleted
    uint32_t crc_ = 0;     // of its bytes when it was read
    std::string noted_;    // the import file the note on disk names, or ""
};

}  // namespace harbor

#endif
