#include "fileio/dict_dump.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <strings.h>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <system_error>

#include "fileio/file_names.h"
#include "fileio/held_files.h"

namespace harbor {

namespace {

namespace fs = std::filesystem;

constexpr int kGood = 0;
constexpr int kBad = 1;
constexpr int kUsage = 2;

std::string FloatText(uint32_t bits) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(std::bit_cast<float>(bits)));
    return buffer;
}

std::string ValueText(const DictFileEntry& e) {
    switch (e.kind) {
        case StoredKind::Long: return std::to_string(static_cast<int32_t>(e.value));
        case StoredKind::Text: return Quoted(e.text);
        case StoredKind::Float: return FloatText(e.value);
        case StoredKind::NamedShort: return std::to_string(e.value) + " " + Quoted(e.text);
        default: return std::to_string(e.value);
    }
}

// The file's bytes into `bytes`, or false with `error` set.
bool ReadWhole(const fs::path& file, std::string& bytes, std::string& error) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (size > kMaxDictFileBytes) {
        error = "too large";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (!(in && text << in.rdbuf())) {
        error = size == 0 ? "truncated" : "cannot read";
        return false;
    }
    bytes = std::move(text).str();
    return true;
}

bool Verify(const fs::path& file, std::vector<DictFileEntry>& entries, std::string& bytes, std::string& error) {
    return ReadWhole(file, bytes, error) && DecodeDictFile(bytes, entries, &error);
}

// An address book maps names (keys) to kite IDs (atoms stored by name). It is printed as a table,
// names in the order the mail client lists them; any other entries follow as usual.
constexpr const char* kAddressBookFile = "AddBook.wdb";

// A name as typed when it is plain text; quoted and escaped when it holds control characters,
// quotes or backslashes, so that a damaged or hostile book cannot drive the terminal.
std::string Plain(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') return Quoted(text);
    }
    return text.empty() ? Quoted(text) : std::string(text);
}

void PrintAddressBook(const fs::path& file, const std::vector<DictFileEntry>& entries, std::ostream& out) {
    std::vector<const DictFileEntry*> names;
    std::vector<DictFileEntry> others;
    std::size_t width = 4;
    for (const DictFileEntry& e : entries) {
        if (e.kind == StoredKind::NamedShort) {
            names.push_back(&e);
            width = std::max(width, Plain(e.key).size());
        } else {
            others.push_back(e);
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const DictFileEntry* a, const DictFileEntry* b) {
        return strcasecmp(std::string(a->key).c_str(), std::string(b->key).c_str()) < 0;
    });
    const std::string owner = file.parent_path().filename().string();
    out << "# address book" << (owner.empty() ? "" : " of " + owner) << ": " << names.size()
        << (names.size() == 1 ? " name\n" : " names\n");
    if (!names.empty()) out << "Name" << std::string(width - 4 + 2, ' ') << "Kite ID\n";
    for (const DictFileEntry* e : names) {
        const std::string name = Plain(e->key);
        out << name << std::string(width - name.size() + 2, ' ') << Plain(e->text) << "\n";
    }
    if (!others.empty()) {
        out << "# other entries, kept as they are: " << others.size() << "\n";
        PrintEntries(others, out);
    }
}

int DumpFile(const fs::path& file, std::ostream& out, std::ostream& err) {
    std::string bytes;
    std::string error;
    std::vector<DictFileEntry> entries;
    if (!Verify(file, entries, bytes, error)) {
        err << "harbor dict-dump: " << file.string() << ": not a readable dictionary file: " << error << "\n";
        return kBad;
    }
    out << "# " << file.string() << ": dictionary file version " << kDictFileVersion << ", " << entries.size()
        << (entries.size() == 1 ? " entry\n" : " entries\n");
    if (file.filename() == kAddressBookFile) {
        PrintAddressBook(file, entries, out);
    } else {
        PrintEntries(entries, out);
    }
    return kGood;
}

struct CheckCounts {
    std::size_t checked = 0;
    std::size_t bad = 0;
    std::size_t leftovers = 0;
    std::size_t empty_messages = 0;
};

void CheckOne(const fs::path& file, CheckCounts& counts, std::ostream& out) {
    if (IsTempName(file.filename().string())) {
        ++counts.leftovers;
        out << "leftover: " << file.string() << ": temporary file of an interrupted write\n";
        return;
    }
    ++counts.checked;
    std::string bytes;
    std::string error;
    std::vector<DictFileEntry> entries;
    if (!Verify(file, entries, bytes, error)) {
        ++counts.bad;
        out << "bad: " << file.string() << ": " << error << "\n";
    } else if (entries.empty() && IsMessageFile(file.filename().string())) {
        ++counts.empty_messages;
        out << "leftover: " << file.string() << ": empty message file of an interrupted save (nothing lists it)\n";
    }
}

int CheckTree(const fs::path& dir, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        err << "harbor dict-dump: " << dir.string() << ": not a folder\n";
        return kBad;
    }
    CheckCounts counts;
    fs::recursive_directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (it->symlink_status(ec).type() == fs::file_type::regular) CheckOne(it->path(), counts, out);
    }
    if (ec) {
        err << "harbor dict-dump: " << dir.string() << ": cannot walk the folder: " << ec.message() << "\n";
        ++counts.bad;
    }
    out << "checked " << counts.checked << " file(s): " << counts.bad << " bad";
    if (counts.leftovers > 0) out << ", " << counts.leftovers << " leftover temporary file(s)";
    if (counts.empty_messages > 0) out << ", " << counts.empty_messages << " empty message file(s)";
    out << "\n";
    return counts.bad > 0 ? kBad : kGood;
}

}  // namespace

void PrintEntries(const std::vector<DictFileEntry>& entries, std::ostream& out) {
    for (const DictFileEntry& e : entries) out << Quoted(e.key) << " " << KindName(e.kind) << " " << ValueText(e) << "\n";
}

std::string DictDumpHelp() {
    return R"(harbor dict-dump: reads the file service's dictionary files (docs/dictionary-files.md).

Usage:
  harbor dict-dump FILE          prints every entry of FILE: key, kind, value, one per line;
                                 exit 1 when FILE is damaged, truncated or not a dictionary file
  harbor dict-dump --check DIR   verifies every file under DIR (recursively) and lists the bad
                                 ones; exit 1 when any is bad. Temporary files of interrupted
                                 writes are listed as leftovers, not as bad
  harbor dict-dump --help        this text

Exit status: 0 every file read well; 1 a file is damaged or bad; 2 wrong usage.
)";
}

int RunDictDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << DictDumpHelp();
        return kGood;
    }
    if (args.size() == 2 && args[0] == "--check") return CheckTree(args[1], out, err);
    if (args.size() == 1 && !args[0].starts_with("-")) return DumpFile(args[0], out, err);
    if (args.size() == 2 && args[0] == "--") return DumpFile(args[1], out, err);
    err << "harbor dict-dump: expected FILE or --check DIR (see harbor dict-dump --help)\n";
    return kUsage;
}

}  // namespace harbor
