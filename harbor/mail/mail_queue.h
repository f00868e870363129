// A durable queue of mail: one file per message in one directory, named by arrival number
// ("0000000000000001.eml", ...), so the names sort in arrival order. Put answers only once the
// file is complete and flushed (temporary file, flush, rename, directory flush): a crash leaves a
// message whole or not there. Used for the outgoing spool and for each account's waiting mail.
#ifndef HARBOR_MAIL_MAIL_QUEUE_H
#define HARBOR_MAIL_MAIL_QUEUE_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fileio/atomic_file.h"
#include "fileio/unique_fd.h"

namespace harbor {

class MailQueue {
public:
    // Creates the directory when missing and clears temporary files a crash left behind.
    // With a `root`, `dir` is opened inside it without following links (durable_dirs.h).
    MailQueue(std::filesystem::path dir, bool durable, const std::filesystem::path& root = {});

    bool Ready() const { return dir_.Valid(); }
    const std::string& Error() const { return error_; }

    // Adds the bytes after every message already queued: the new entry's name, or "" (with
    // Error()) when it could not be written.
    std::string Put(std::string_view bytes);
    std::vector<std::string> Entries() const;
    bool Read(const std::string& entry, std::string& out) const;
    bool Remove(const std::string& entry);
    // Seconds since the entry was written; 0 when it cannot be found.
    long long AgeOf(const std::string& entry) const;
    // The entry's size in bytes; 0 when it cannot be found.
    uint64_t SizeOf(const std::string& entry) const;

    void SetWriteStageHook(WriteStageHook hook) { hook_ = std::move(hook); }

private:
    static bool IsEntryName(const std::string& name);

    std::filesystem::path path_;
    bool durable_;
    UniqueFd dir_;
    std::string error_;
    uint64_t next_ = 1;
    WriteStageHook hook_;
};

}  // namespace harbor

#endif
