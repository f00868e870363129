// What harbor checks before it runs anything: a data folder, a content folder or a script that
// cannot be used stops it with one clear line instead of a session that fails later, out of
// sight (a blank window, a child told the mail server is unreachable).
#ifndef HARBOR_RUNTIME_START_CHECKS_H
#define HARBOR_RUNTIME_START_CHECKS_H

#include <filesystem>
#include <string>

namespace harbor {

// Why `dir` is not a usable content folder, or "": it must be a folder whose scenes/ holds
// scene files, one for each scene scenes/required-sprites.txt names when that list is there, and
// whose default settings WNSettings.dct, when there, read as a data dictionary.
std::string ContentFolderProblem(const std::filesystem::path& dir);

// Why `file` cannot be loaded as the mail module (missing, not a file), or "".
std::string ModuleFileProblem(const std::filesystem::path& file);

// Why `file` cannot be read as a script (missing, a folder, unreadable), or "".
std::string ScriptFileProblem(const std::filesystem::path& file);

}  // namespace harbor

#endif
