// A durable queue of mail: one file per message in one directory, named by arrival number
// ("0000000000000001.eml", ...), so the names sort in arrival order. Put answers only once the
// file is complete and flushed (temporary file, flush, rename, directory flush): a crash leaves a
// message whole or not there. Used for the outgoing spool and for each account's waiting mail.
// Numbering starts at the clock (a thousand numbers a second) or after the last entry, whichever
// is later, so an emptied queue does not give out its old numbers again.
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
    // Puts the bytes under the entry numbered `number` unless that entry already holds these very
    // bytes (an earlier try that a crash kept from being noted): a delivery that is repeated lands
    // once. When the number holds other bytes, the bytes are put as Put does.
    std::string PutOnce(uint64_t number, std::string_view bytes);
    // The arrival number of an entry's name.
    static uint64_t NumberOf(const std::string& entry);
    std::vector<std::string> Entries() const;
    bool Read(const std::string& entry, std::string& out) const;
    // Removes the entry and its note.
    bool Remove(const std::string& entry);
    // Moves the entry into the data root's holding area (held_files.h) at `path` below `root`,
    // instead of deleting it.
    bool Hold(const std::string& entry, int root, const std::vector<std::string>& path);
    // A note kept beside an entry ("<n>.sent"): lines appended one at a time, each on disk before
    // the call returns, so that progress through an entry survives a crash.
    bool AppendNote(const std::string& entry, std::string_view line);
    std::string ReadNote(const std::string& entry) const;
    // Seconds since the entry was written; 0 when it cannot be found.
    long long AgeOf(const std::string& entry) const;
    // The entry's size in bytes; 0 when it cannot be found.
    uint64_t SizeOf(const std::string& entry) const;

    void SetWriteStageHook(WriteStageHook hook) { hook_ = std::move(hook); }

private:
    static bool IsEntryName(const std::string& name);
    static uint64_t FirstNumber();
    void RemoveOrphanNotes();

    std::filesystem::path path_;
    bool durable_;
    UniqueFd dir_;
    std::string error_;
    uint64_t next_ = 1;
    WriteStageHook hook_;
};

}  // namespace harbor

#endif
