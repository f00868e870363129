// Directories of the post office: opened by path, created level by level, and listed. When
// `durable`, each new directory entry and each removal is flushed to the disk before the call
// returns, so that what a caller has been told is done survives a power cut.
#ifndef HARBOR_MAIL_DURABLE_DIRS_H
#define HARBOR_MAIL_DURABLE_DIRS_H

#include <filesystem>
#include <string>
#include <vector>

#include "fileio/unique_fd.h"

namespace harbor {

// Opens `path` as a directory, creating the missing levels; invalid (with `error`) on failure.
// With a `root` (the data root), `path` must lie inside it and every level below the root is
// opened relative to its parent without following a symbolic link, as the file service does: a
// link planted inside the data root never takes the post office outside it.
UniqueFd OpenOrCreateDirectory(const std::filesystem::path& path, bool durable, std::string& error,
                               const std::filesystem::path& root = {});
// Opens an existing directory; invalid when there is none (or, with a `root`, when a level is a
// link or `path` is not inside it).
UniqueFd OpenDirectory(const std::filesystem::path& path, const std::filesystem::path& root = {});

// The regular files of `dir`, sorted by name, without temporary files of writes in progress.
std::vector<std::string> ListFiles(int dir);

// Removes the file `name` from `dir`; true when it is gone (also when it was not there).
bool RemoveFile(int dir, const std::string& name, bool durable);

// Removes temporary files that no write will finish (left by a crash).
void RemoveStaleTemps(int dir);

}  // namespace harbor

#endif
