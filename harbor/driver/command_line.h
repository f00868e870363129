// harbor's command line. `harbor --help` prints HelpText().
#ifndef HARBOR_DRIVER_COMMAND_LINE_H
#define HARBOR_DRIVER_COMMAND_LINE_H

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "mail/connection_service.h"
#include "base/identity.h"

namespace harbor {

struct CommandLine {
    std::optional<std::filesystem::path> module;
    std::optional<std::filesystem::path> content;
    std::optional<std::filesystem::path> data;
    std::optional<std::filesystem::path> script;
    std::optional<std::filesystem::path> sounds;
    Identity identity;
    std::optional<DialupOptions> dialup;  // --dialup: simulate a dial-up connection
    std::optional<std::string> paper;          // --paper: a4 or letter
    std::optional<std::string> printer;        // --printer NAME
    std::optional<std::string> print_command;  // --print-command PROGRAM, in place of lp
    bool mail_offline = false;            // --mail-offline: the mail service cannot be reached
    bool trace = false;
    bool trace_timers = false;
    bool headless = false;
    bool demo = false;
    bool help = false;
    bool version = false;  // --version
};

struct CommandLineResult {
    CommandLine options;
    std::string error;  // empty when the command line is good
};

// Options take their value as the next word or after '=' (--module=PATH).
CommandLineResult ParseCommandLine(const std::vector<std::string>& args);

std::string HelpText();

}  // namespace harbor

#endif
