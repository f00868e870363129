// The post office's commands of the harbor program:
//
//   harbor account add NAME        make an account (asks for its password)
//   harbor account passwd NAME     change an account's password
//   harbor account remove NAME     remove an account and the mail waiting for it
//   harbor account list            the accounts, their waiting mail, and the outgoing spool
//   harbor import --player ID [--from ID] [--subject TEXT] [--type TYPE] [--date SECONDS] FILE...
//                                  drops each FILE (a mail message, or plain text) into the
//                                  Import folder for the player
//
// Each takes `--data DIR` (default: the data folder harbor uses). Passwords are read without echo
// from a terminal (twice, to confirm, for add and passwd) or as one line of standard input.
#ifndef HARBOR_MAIL_MAIL_COMMANDS_H
#define HARBOR_MAIL_MAIL_COMMANDS_H

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "mail/password_hash.h"

namespace harbor {

struct MailCommandContext {
    MailCommandContext(std::istream& input, std::ostream& output, std::ostream& errors)
        : in(input), out(output), err(errors) {}

    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool terminal = false;                       // `in` is a terminal: prompt and confirm
    std::filesystem::path default_data;          // used without --data
    PasswordCost password_cost = PasswordCost::FromEnvironment();
    uint32_t now = 0;                            // the date of imported text files
};

// Runs the command when args[0] is "account" or "import": its exit status (0 done, 1 failed,
// 2 wrong usage). Nothing for any other command line.
std::optional<int> RunMailCommand(const std::vector<std::string>& args, MailCommandContext& context);

std::string MailCommandHelp();
// `harbor account [VERB] --help` (every verb for an unknown or empty VERB), `harbor import --help`.
std::string AccountHelp(const std::string& verb);
std::string ImportHelp();

}  // namespace harbor

#endif
