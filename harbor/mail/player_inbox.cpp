#include "mail/player_inbox.h"

#include <vector>

#include "fileio/atomic_file.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_handles.h"
#include "fileio/held_files.h"
#include "mail/account_book.h"
#include "mail/durable_dirs.h"
#include "mail/mime_message.h"

namespace harbor {

namespace {

constexpr uint32_t kMaxId = 100000;
constexpr std::size_t kLargestStoredMessage = std::size_t{64} << 20;

// The player's folder as first written: "P7" finds the folder "p7" (file_handles.h).
std::filesystem::path PlayerDir(const std::filesystem::path& root, const std::string& player) {
    const std::filesystem::path players = root / "MailBoxes" / "Players";
    UniqueFd dir = OpenDirectory(players, root);
    return players / (dir.Valid() ? FirstSpelling(dir.Get(), player) : player);
}

// The module writes the id's 32 bits as a signed number; an id with the top bit set is negative.
std::string MessageFileName(uint32_t id) { return "WN" + std::to_string(static_cast<int32_t>(id)) + ".wnl"; }

// The dictionary file's entries, or false when it is missing or damaged.
bool ReadDict(int dir, const std::string& name, std::string& bytes, std::vector<DictFileEntry>& entries) {
    std::string error;
    return ReadRegularFile(dir, name, kMaxDictFileBytes, bytes, error) && DecodeDictFile(bytes, entries);
}

uint32_t ReadLastId(int dir) {
    std::string bytes;
    std::vector<DictFileEntry> entries;
    if (!ReadDict(dir, "folder.dat", bytes, entries)) return 1;
    for (const DictFileEntry& e : entries) {
        if (e.key == "LastID" && e.kind == StoredKind::Long) return e.value;
    }
    return 0;
}

bool MessageFileExists(int dir, uint32_t id) {
    std::string bytes;
    std::vector<DictFileEntry> entries;
    return ReadDict(dir, MessageFileName(id), bytes, entries);
}

// 0 when every id is taken.
uint32_t FreeId(int dir) {
    uint32_t candidate = ReadLastId(dir) + 1;
    for (uint32_t tries = 0; tries < kMaxId; ++tries) {
        if (!MessageFileExists(dir, candidate)) return candidate;
        if (++candidate > kMaxId) candidate = 1;
    }
    return 0;
}

bool WriteDict(int dir, const std::string& name, const std::vector<DictFileEntry>& entries, bool durable,
               std::string& error) {
    std::string bytes;
    if (!EncodeDictFile(entries, bytes)) {
        error = "the message does not fit a dictionary file";
        return false;
    }
    return WriteAtomically(dir, name, bytes, durable, nullptr, error);
}

}  // namespace

bool PlayerKnown(const std::filesystem::path& data_root, const std::string& player) {
    return IsValidKiteId(player) && OpenDirectory(PlayerDir(data_root, player), data_root).Valid();
}

uint32_t SaveToPlayerInbox(const std::filesystem::path& data_root, const std::string& player, std::string_view message,
                           bool durable, std::string& error) {
    if (!IsValidKiteId(player)) {
        error = "not a player ID";
        return 0;
    }
    UniqueFd dir = OpenOrCreateDirectory(PlayerDir(data_root, player) / "InBox", durable, error, data_root);
    if (!dir.Valid()) return 0;
    const uint32_t id = FreeId(dir.Get());
    if (id == 0) {
        error = "the inbox holds 100000 messages";
        return 0;
    }
    const std::vector<DictFileEntry> folder = {{"LastID", StoredKind::Long, id, {}}};
    const std::vector<DictFileEntry> file = {{"Message", StoredKind::Text, 0, message},
                                             {"MailID", StoredKind::Long, id, {}}};
    if (!WriteDict(dir.Get(), "folder.dat", folder, durable, error)) return 0;
    if (!WriteDict(dir.Get(), MessageFileName(id), file, durable, error)) return 0;
    return id;
}

std::vector<std::string> KiteInboxTexts(const std::filesystem::path& data_root, const std::string& account) {
    const std::filesystem::path accounts = data_root / "MailBoxes" / "kiteAccounts";
    const UniqueFd owners = OpenDirectory(accounts, data_root);
    if (!owners.Valid()) return {};
    const UniqueFd inbox = OpenDirectory(accounts / FirstSpelling(owners.Get(), account) / "InBox", data_root);
    std::vector<std::string> texts;
    for (const std::string& name : inbox.Valid() ? ListFiles(inbox.Get()) : std::vector<std::string>{}) {
        std::string bytes, error;
        if (IsMessageFile(name) && ReadRegularFile(inbox.Get(), name, kLargestStoredMessage, bytes, error)) {
            texts.push_back(std::move(bytes));
        }
    }
    return texts;
}

std::string StoredForm(const std::string& letter) {
    return mime::Serialise(GMIME_OBJECT(mime::MessageFromText(letter).get()));
}

}  // namespace harbor
