// `harbor recover`: the deleted message files kept in the data root's holding area
// (fileio/held_files.h), listed with where they were and their subject, and put back by id.
//
//   harbor recover [--data DIR]            lists what is held
//   harbor recover ID... [--data DIR]      puts those back where they were
#ifndef HARBOR_MAIL_RECOVER_COMMAND_H
#define HARBOR_MAIL_RECOVER_COMMAND_H

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace harbor {

// `args` are the words after "recover". 0 done, 1 something could not be restored, 2 usage.
int RunRecoverCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::filesystem::path& default_data);

}  // namespace harbor

#endif
