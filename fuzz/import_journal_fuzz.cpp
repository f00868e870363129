// The import journal's reader: any bytes parse to a note or to a refusal, never a crash; a note
// names nothing that could leave its folder, and writes back to the very same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fileio/file_names.h"
#include "fileio/import_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    harbor::ImportNote note;
    if (!harbor::ParseImportNote(text, note)) return 0;
    if (harbor::RefusedName(note.name) != nullptr || note.letter.size() < 2) std::abort();
    for (const std::string& part : note.letter) {
        if (harbor::RefusedName(part) != nullptr) std::abort();
    }
    if (harbor::ImportNoteText(note) != text) std::abort();
    return 0;
}
