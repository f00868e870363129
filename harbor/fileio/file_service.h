// FileIOPort: the file service. One root folder; each handle has its own current directory,
// moved one step at a time; dictionaries are stored as files in Harbor's own format
// (dict_file_format.h, docs/dictionary-files.md) and listed through FioQuery snapshots.
//
//   30062 open a handle               answers STATUS 1 and HANDLE
//   30003 close HANDLE
//   30052 CHANGE with ROOT, PARENT and/or DIRECTORY (in that order: to the root, up one level
//         (the root is its own parent), down into the name); CREATE with DIRECTORY makes one
//         directory level in the current directory (before a CHANGE in the same request)
//   30073 write FILENAME from DICT;   with CREATE 1 the file is made to exist, holding DICT's
//         entries or, without DICT, an empty dictionary (an empty create waits for the next
//         request: a write of the same file through the same handle replaces it unseen)
//   30013 read FILENAME               answers DICT (0 when the file cannot be read)
//   30004 delete FILENAME (files only; a message file "WN<id>.wnl" goes to the holding area,
//         held_files.h, and entries held over 30 days are forgotten when the service starts)
//   30049 list the current directory  answers STATUS 1 and FioQuery
// Every request but open answers STATUS too: 1 done, 0 refused or failed (the module does not
// look; tests and tools do). A refused request changes nothing and says why in the trace, except
// a failed CHANGE: it leaves the handle in no folder, where listing answers an empty FioQuery
// (STATUS 0) and creating, writing, reading and deleting fail, until ROOT (or PARENT back up past
// the failed step) finds a folder again.
//
// Usable in-process without a session:
//   harbor::FileService files(root);  files.Attach();  ...HxPortSend(FileIOPort, &r)...;  files.Detach();
// or HandleRecord(r) directly, without the port. Only one service is attached at a time.
#ifndef HARBOR_FILEIO_FILE_SERVICE_H
#define HARBOR_FILEIO_FILE_SERVICE_H

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "edict.h"
#include "fileio/atomic_file.h"
#include "fileio/dict_file_format.h"
#include "fileio/file_handles.h"
#include "fileio/import_journal.h"

namespace harbor {

struct FileServiceOptions {
    // Flush every write, delete and new directory to the disk before answering. Off only where
    // losing data to a power cut does not matter (tests, scratch folders).
    bool durable = true;
};

class FileService {
public:
    // Creates the root when missing. Without a usable root every open answers STATUS 0.
    explicit FileService(std::filesystem::path root, FileServiceOptions options = {});
    ~FileService();  // detaches
    FileService(const FileService&) = delete;
    FileService& operator=(const FileService&) = delete;

    void Attach();
    void Detach();

    // Answers one record as the port would; false when the record is not a file-service request.
    bool HandleRecord(EDict& record);

    bool Ready() const { return root_.Valid(); }
    const std::filesystem::path& Root() const { return root_path_; }
    std::size_t OpenHandles() const { return handles_.Count(); }
    // The current directory of the handle the latest request named (in practice the module's),
    // under Root(); nothing when that handle is gone or no request named one yet.
    std::optional<std::filesystem::path> LastUsedDirectory();
    // Another service read `file` of the data root for the module (an import file, through
    // ResPort): the import journal (import_journal.h) remembers it.
    void NoteDataFileRead(const std::filesystem::path& file);
    // Called at each stage of every dictionary write: tests play crashes with it.
    void SetWriteStageHook(WriteStageHook hook) { hook_ = std::move(hook); }

private:
    struct Keys {
        uint16_t port, handle, status, change, create, directory, parent, root, filename, dict, query;
    };

    static bool OnPort(EDict* record);

    using Handler = void (FileService::*)(EDict&);
    static Handler HandlerFor(int type);
    void OpenHandle(EDict& r);
    void CloseHandle(EDict& r);
    void ChangeOrCreate(EDict& r);
    void WriteDict(EDict& r);
    void ReadDict(EDict& r);
    void Delete(EDict& r);
    void List(EDict& r);

    bool CreateDirectory(FileHandle& h, const std::string& name);
    bool ChangeDirectory(FileHandle& h, const EDict& r);
    bool Descend(std::vector<std::string>& path, UniqueFd& dir, const EDict& r);
    // Puts the handle in no folder, `lost` levels below `path`; false, for the caller to answer.
    bool Lose(FileHandle& h, std::vector<std::string> path, std::size_t lost);
    // True when the handle is in a folder; otherwise notes that `request` did nothing.
    bool Placed(const FileHandle& h, std::string_view request) const;
    bool Store(FileHandle& h, const std::string& name, DictInterface* dict, bool durable);
    // An empty create, held back until the next request (see WriteDict).
    struct PendingCreate {
        uint32_t handle = 0;
        std::string name;
    };
    bool Defer(FileHandle& h, uint32_t handle, const std::string& name);
    bool Replaces(const EDict& r, const PendingCreate& create) const;
    void Carry(const PendingCreate& create);
    bool Load(FileHandle& h, const std::string& name);
    static std::string UnreadKey(const FileHandle& h, const std::string& name);
    bool KeepUnread(FileHandle& h, const std::string& name);
    bool Hold(FileHandle& h, const std::string& name);

    FileHandle* Target(const EDict& r);
    // The name under `key`, or nothing (with a trace note) when it is missing or refused.
    std::optional<std::string> NameIn(const EDict& r, uint16_t key, std::string_view request);
    bool Flag(const EDict& r, uint16_t key) const { return EDictGetLong(&r, key) != 0; }
    void Answer(EDict& r, bool ok) const { EDictPutLong(&r, keys_.status, ok ? 1 : 0); }
    void Flush(int dir) const;

    static FileService* live_;  // HxHandler carries no context: one attached instance
    Keys keys_;
    std::filesystem::path root_path_;
    FileServiceOptions options_;
    UniqueFd root_;
    ImportJournal imports_;
    FileHandleTable handles_;
    WriteStageHook hook_;
    std::optional<PendingCreate> pending_;
    // Files (their folders from the root, then the name) that were there but could not be read.
    std::set<std::string> unread_;
    bool attached_ = false;
    uint32_t last_handle_ = 0;
    // Kept between requests so that their storage is reused.
    std::vector<DictFileEntry> entries_;
    std::string bytes_;
};

}  // namespace harbor

#endif
