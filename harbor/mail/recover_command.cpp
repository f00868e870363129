#include "mail/recover_command.h"

#include <ctime>
#include <fstream>
#include <iterator>

#include "fileio/dict_file_format.h"
#include "fileio/held_files.h"
#include "mail/mime_message.h"
#include "fileio/data_root_lock.h"

namespace harbor {

namespace {

constexpr const char* kUsage =
    "Usage: harbor recover [ID...] [--data DIR]\n"
    "Without an ID, lists the message files deleted and the messages fetched in the last 30 days;\n"
    "with IDs, puts those back where they were (a fetched message back into the waiting mail),\n"
    "waiting 5 seconds for another harbor that uses the data folder.\n"
    "Exit status: 0 done; 1 an ID is not held or cannot be put back; 2 wrong usage; 3 another\n"
    "harbor uses the data folder.\n";

std::string PathText(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : "/") + part;
    return text;
}

std::string DateText(long long seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", &parts);
    return buffer;
}

// The subject of the message a held file keeps, or "" when it holds none.
std::string SubjectOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.extension() == ".eml") return mime::Subject(mime::MessageFromText(bytes).get());  // fetched mail
    std::vector<DictFileEntry> entries;
    if (!DecodeDictFile(bytes, entries)) return {};
    for (const DictFileEntry& entry : entries) {
        if (entry.key == "Message" && entry.kind == StoredKind::Text) {
            return mime::Subject(mime::MessageFromText(entry.text).get());
        }
    }
    return {};
}

int List(const std::filesystem::path& root, std::ostream& out) {
    const std::vector<HeldFile> held = ListHeld(root);
    if (held.empty()) {
        out << "nothing is held\n";
        return 0;
    }
    for (const HeldFile& file : held) {
        std::filesystem::path where = root / kHeldFolder / file.id;
        for (const std::string& part : file.path) where /= part;
        out << file.id << "  " << DateText(file.held_at) << "  " << PathText(file.path) << "  \"" << SubjectOf(where)
            << "\"\n";
    }
    return 0;
}

}  // namespace

int RunRecoverCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::filesystem::path& default_data) {
    std::filesystem::path root = default_data;
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            out << kUsage;
            return 0;
        }
        if (args[i] == "--data" && i + 1 < args.size()) {
            root = args[++i];
        } else if (args[i].starts_with("--data=")) {
            root = args[i].substr(7);  // as the other commands take it
        } else if (args[i] == "--data") {
            err << "harbor recover: --data needs a value\n" << kUsage;
            return 2;
        } else if (args[i].starts_with("-")) {
            err << "harbor recover: unknown option " << args[i] << "\n" << kUsage;
            return 2;
        } else {
            ids.push_back(args[i]);
        }
    }
    if (ids.empty()) return List(root, out);
    int status = 2;
    const std::optional<DataRootLock> lock = LockForCommand(root, "recover", err, status);
    if (!lock) return status;
    status = 0;
    for (const std::string& id : ids) {
        std::string error;
        if (RestoreHeld(root, id, error)) {
            out << "restored " << id << "\n";
        } else {
            err << "harbor recover: " << error << "\n";
            status = 1;
        }
    }
    return status;
}

}  // namespace harbor
