// The names the file service takes from requests, and the names of its own temporary files.
// A request names one entry of the current directory, never a path: anything that could reach
// another directory, or that the service keeps for itself, is refused.
#ifndef HARBOR_FILEIO_FILE_NAMES_H
#define HARBOR_FILEIO_FILE_NAMES_H

#include <string>
#include <string_view>

namespace harbor {

// Why the name cannot name an entry of a directory, or null when it can. Refused: the empty
// name, "." and "..", names holding '/' (absolute names included), '\\' or a control character
// (NUL included), names over 255 bytes, and names starting with the temporary-file prefix.
const char* RefusedName(std::string_view name);

// The data root's lock file (fileio/data_root_lock.h): refused as a name, so the module never
// lists, opens or deletes it.
inline constexpr std::string_view kLockFileName = ".harbor-lock";

// Temporary files of writes in progress: ".hbtmp-<pid>-<sequence>". The prefix is refused as a
// name, so a temporary file never collides with a file of the module's, and listings skip it.
inline constexpr std::string_view kTempPrefix = ".hbtmp-";
bool IsTempName(std::string_view name);
std::string NewTempName();

// A temporary file no write will ever finish: written by this process (its writes are
// synchronous, so none is in progress while it looks), by a process that no longer runs, or more
// than an hour ago.
bool IsStaleTemp(std::string_view name, long long modified_seconds_ago);

// The name with quotes around it, control characters and bytes that are not UTF-8 escaped: for
// trace lines and dumps.
std::string Quoted(std::string_view text);

}  // namespace harbor

#endif
