// Whether a folder can hold the user's data, and making it: used at start and by the account
// commands that write into the data folder.
#ifndef HARBOR_BASE_DATA_FOLDER_H
#define HARBOR_BASE_DATA_FOLDER_H

#include <filesystem>
#include <string>

namespace harbor {

// Why `dir` cannot hold the user's data, or "" when it can: an existing writable folder, or a
// missing one whose nearest existing parent is a writable folder. Creates nothing.
std::string DataFolderProblem(const std::filesystem::path& dir);
// Creates the data folder (owner-only) when missing: "" or why it could not.
std::string MakeDataFolder(const std::filesystem::path& dir);

}  // namespace harbor

#endif
