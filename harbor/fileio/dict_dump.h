// `harbor dict-dump`: prints a dictionary file in readable form, or checks every file under a
// folder. Exit status: 0 good, 1 a damaged file (or any bad file under the folder), 2 usage.
#ifndef HARBOR_FILEIO_DICT_DUMP_H
#define HARBOR_FILEIO_DICT_DUMP_H

#include <iosfwd>
#include <string>
#include <vector>

#include "fileio/dict_file_format.h"

namespace harbor {

// `args` are the words after "dict-dump".
int RunDictDump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string DictDumpHelp();

// One line per entry: the key name quoted, the kind, the value (texts quoted and escaped; a
// Short naming an atom shows its number when written and the name).
void PrintEntries(const std::vector<DictFileEntry>& entries, std::ostream& out);

}  // namespace harbor

#endif
