// The file operations under the file service, all relative to an open directory and never
// following a symbolic link: a name is one entry of that directory, so nothing outside it can be
// reached through a link planted inside the root.
#ifndef HARBOR_FILEIO_ATOMIC_FILE_H
#define HARBOR_FILEIO_ATOMIC_FILE_H

#include <functional>
#include <string>
#include <string_view>

#include "fileio/unique_fd.h"

namespace harbor {

// The points of a write a test can stop at (to play a crash there). DirSynced comes only from a
// durable write, once its directory is flushed.
enum class WriteStage { TempWritten, TempSynced, Renamed, DirSynced };
using WriteStageHook = std::function<void(WriteStage)>;

// Replaces `name` in `dir` with `bytes` so that a crash at any moment leaves the old file or the
// new one: a temporary file in the same directory is written, flushed, renamed over the name,
// and the directory flushed. `durable` false leaves out both flushes (tests and scratch data).
// False, with `error` set and no temporary file left, when any step fails.
bool WriteAtomically(int dir, const std::string& name, std::string_view bytes, bool durable,
                     const WriteStageHook& hook, std::string& error);
// The same, but only when nothing has that name yet: `taken` tells when something had (another
// process made it first); nothing is replaced.
bool WriteNewFile(int dir, const std::string& name, std::string_view bytes, bool durable, const WriteStageHook& hook,
                  std::string& error, bool& taken);

// Writes `bytes` over the contents of `name` in `dir` in place, without a temporary file or a
// flush, only when that cannot reach anything but that one file nor leave a mix of two lengths:
// a regular file (not a link), of one link, already of exactly that size. False, having changed
// nothing, when it is not such a file; false too when the write failed part way (the caller then
// replaces the file whole).
bool OverwriteInPlace(int dir, const std::string& name, std::string_view bytes);

// Reads the regular file `name` of `dir` into `out` (its capacity is reused). False, with `error`
// set, for a missing file, a link, a directory or other non-regular file, or one over `limit`.
bool ReadRegularFile(int dir, const std::string& name, std::size_t limit, std::string& out, std::string& error);

// Opens the subdirectory `name` of `dir` (not through a link); an invalid descriptor on failure.
UniqueFd OpenSubdirectory(int dir, const std::string& name);

// The errno text of the last failed call, prefixed with what was being done.
std::string SystemError(std::string_view doing);

}  // namespace harbor

#endif
