// Which messages of an account's server INBOX were fetched and stored: their UIDs under the
// mailbox's UIDVALIDITY, in the data root's ".remote/<account>.fetched" (one line each, appended
// and flushed as each message is stored). A new UIDVALIDITY starts the record again: the server
// renumbered its mail, so everything is fetched again rather than anything lost. Beside it,
// "<account>.fetched.ids" keeps the letters stored (a Message-ID and a hash of the body, one line
// each), whatever their UIDs: a letter the server holds twice (a sender that crashed after the
// server took it, and sent it again) is stored once.
#ifndef HARBOR_MAIL_FETCHED_UIDS_H
#define HARBOR_MAIL_FETCHED_UIDS_H

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace harbor {

class FetchedUids {
public:
    FetchedUids(std::filesystem::path file, bool durable);

    // Reads the record; the UIDs fetched under `uidvalidity` (none when it differs).
    std::set<uint32_t> Load(uint32_t uidvalidity);
    // Records one more UID; false when it could not be written.
    bool Add(uint32_t uidvalidity, uint32_t uid);
    // UIDs handed to the module and not known to be stored, in "<account>.fetched.handed": noted
    // before a batch is handed out, taken (read and removed) at the next round, which looks for
    // them in the account's InBox (a crash between the module's store and its word).
    bool NoteHanded(uint32_t uidvalidity, const std::vector<uint32_t>& uids);
    std::set<uint32_t> TakeHanded(uint32_t uidvalidity);
    // The letters stored, as lines of one word each side of a space, and one more of them.
    std::set<std::string> LoadIds();
    bool AddId(const std::string& message_id);

private:
    bool Append(const std::filesystem::path& file, const std::string& line);
    std::filesystem::path IdsFile() const { return std::filesystem::path(file_.string() + ".ids"); }
    std::filesystem::path HandedFile() const { return std::filesystem::path(file_.string() + ".handed"); }

    std::filesystem::path file_;
    bool durable_;
};

}  // namespace harbor

#endif
