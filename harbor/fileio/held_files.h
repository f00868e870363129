// The holding area for deleted message files: ".held" under the data root. The module deletes a
// message file before its Trash copy is written, and deletes an OutBox letter whether or not
// sending it worked; a crash or a full disk in between used to lose the letter. Deleting a
// message file ("WN<id>.wnl") therefore moves it here, where it stays for kHeldDays days (as a
// server's lazy expunge does); `harbor recover` lists and restores such files.
//
//   .held/<seconds>-<pid>-<n>/<the folders it was in>/WN<id>.wnl
//
// One entry folder per held file, named by when it was held; its name is the file's id for
// `harbor recover`. The name ".held" is refused to the module, so it never lists or enters it.
#ifndef HARBOR_FILEIO_HELD_FILES_H
#define HARBOR_FILEIO_HELD_FILES_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace harbor {

inline constexpr std::string_view kHeldFolder = ".held";
inline constexpr long long kHeldDays = 30;

// "WN" then digits then ".wnl": the module's message files.
bool IsMessageFile(std::string_view name);
// "folder.dat": a mailbox folder's counter of the id handed out last.
bool IsFolderCounter(std::string_view name);

// Moves `name` out of `dir` (the folder at `path` under the root `root`) into a new entry of the
// holding area. False, with `error`, when it could not be moved (the file then stays).
bool HoldFile(int root, const std::vector<std::string>& path, int dir, const std::string& name, bool durable,
              std::string& error);

struct HeldFile {
    std::string id;                 // the entry folder's name
    std::vector<std::string> path;  // where the file was, its own name last
    long long held_at = 0;          // seconds since 1970
};

// Every held file under the data root, oldest first.
std::vector<HeldFile> ListHeld(const std::filesystem::path& data_root);
// Puts the file back where it was (making missing folders). False, with `error`, when the id is
// unknown or a file of that name is there again.
bool RestoreHeld(const std::filesystem::path& data_root, const std::string& id, std::string& error);
// Holds every empty message file (a dictionary file of no entries: a crash between the module's
// create and the write that fills it) under the data root, outside the holding area; how many.
std::size_t HoldEmptyMessageFiles(int root, const std::filesystem::path& data_root, bool durable);
// Forgets entries held longer than kHeldDays; how many went.
std::size_t SweepHeld(const std::filesystem::path& data_root, long long now);

}  // namespace harbor

#endif
