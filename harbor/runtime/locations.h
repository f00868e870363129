// Where Harbor finds the module and the content, and where it keeps the user's data. An installed
// harbor (PREFIX/bin) looks in PREFIX/lib and PREFIX/share/wrenmail; one in a build tree looks in
// the tree's wrenmail/ folder and the source tree's content/.
#ifndef HARBOR_RUNTIME_LOCATIONS_H
#define HARBOR_RUNTIME_LOCATIONS_H

#include <filesystem>
#include <string>
#include <vector>

namespace harbor {

// The folder of the running executable.
std::filesystem::path ExecutableDir();

// Candidate places, in the order they are tried.
std::vector<std::filesystem::path> ModuleCandidates(const std::filesystem::path& exe_dir);
std::vector<std::filesystem::path> ContentCandidates(const std::filesystem::path& exe_dir);

// The first candidate that exists, else the first candidate (so a message can name it).
std::filesystem::path FirstExisting(const std::vector<std::filesystem::path>& candidates);

// $XDG_DATA_HOME/wrenmail, else $HOME/.local/share/wrenmail; empty when neither is set.
std::filesystem::path DefaultDataDir();

}  // namespace harbor

#endif
