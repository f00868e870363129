// Import files: mail dropped into the data root's "Import" folder for a player, which the module
// stores in that player's InBox at its next start and then deletes. An import file is a data
// dictionary (docs/data-dictionary-format.md) with the texts TO (the player ID), FROM, SUBJECT,
// MAILTYPE ("text/plain", or "text/wrenmail" for a tagged body) and MESSAGE, and the integer DATE
// (seconds since 1970, UTC). The module keeps at most 127 characters of TO, FROM and SUBJECT and
// 63 of MAILTYPE: longer texts are refused here rather than cut there.
#ifndef HARBOR_MAIL_IMPORT_FILE_H
#define HARBOR_MAIL_IMPORT_FILE_H

#include <cstdint>
#include <filesystem>
#include <string>

namespace harbor {

struct ImportMail {
    std::string player;
    std::string from;
    std::string subject;
    std::string type = "text/plain";
    std::string body;
    uint32_t date = 0;
};

// Why the mail cannot be imported, or "" when it can.
std::string ImportProblem(const ImportMail& mail);
// The file's text.
std::string ImportFileText(const ImportMail& mail);
// Writes a new file into <data_root>/Import, complete or not at all: its name, or "" with `error`.
std::string WriteImportFile(const std::filesystem::path& data_root, const ImportMail& mail, std::string& error);

}  // namespace harbor

#endif
