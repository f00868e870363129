// The open file-service handles: opaque numbers (never addresses), each with its own current
// directory and the objects it answered last.
#ifndef HARBOR_FILEIO_FILE_HANDLES_H
#define HARBOR_FILEIO_FILE_HANDLES_H

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "fileio/directory_listing.h"
#include "fileio/stored_dict.h"
#include "fileio/unique_fd.h"

namespace harbor {

struct FileHandle {
    std::vector<std::string> path;  // the current directory, from the root down
    UniqueFd dir;                   // the current directory, open; invalid while lost
    // Levels below `path` the module believes it went into after a change of folder failed.
    // While above 0 the handle is in no folder: nothing is listed, read, written or deleted,
    // and PARENT counts back up (the module's own idea of where it is) until it is found again.
    std::size_t lost = 0;
    // Made on first use and kept for the handle's life, so each keeps one address (and one
    // reference); every read or listing replaces the contents of its object.
    std::unique_ptr<StoredDict> dict;
    std::unique_ptr<DirectoryListing> listing;
};

class FileHandleTable {
public:
    // A new handle whose current directory is `root` (the descriptor is the handle's own).
    uint32_t Open(UniqueFd root);
    FileHandle* Find(uint32_t handle);
    bool Close(uint32_t handle);
    std::size_t Count() const { return handles_.size(); }

private:
    std::unordered_map<uint32_t, std::unique_ptr<FileHandle>> handles_;
    uint32_t next_ = 1;
};

// Opens the directory `path` under `root`, one entry at a time and never through a link; an
// invalid descriptor when some step fails.
UniqueFd OpenPath(int root, const std::vector<std::string>& path);

// Folder names are found ignoring letter case and kept as first written (the platform the module
// was made for worked this way): `name` when `dir` has an entry of exactly that name, else the
// first entry (in name order) that differs from it only in ASCII case, else `name`.
std::string FirstSpelling(int dir, const std::string& name);

}  // namespace harbor

#endif
