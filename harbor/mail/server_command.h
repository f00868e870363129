// `harbor server`: the real mail server a data root uses instead of the embedded post office.
//
//   harbor server set --imap imaps://HOST[:PORT] --smtp smtp://HOST:587 --domain DOMAIN
//                     [--ca-file FILE] [--login id|id@domain] [--delete-after-fetch | --keep-on-server]
//   harbor server show
//   harbor server clear
//
// Each takes `--data DIR` (default: the data folder harbor uses).
#ifndef HARBOR_MAIL_SERVER_COMMAND_H
#define HARBOR_MAIL_SERVER_COMMAND_H

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace harbor {

// args: the words after "server". Exit status: 0 done, 1 failed, 2 wrong usage.
int RunServerCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const std::filesystem::path& default_data, const std::filesystem::path& content_dir);
std::string ServerHelp();

}  // namespace harbor

#endif
