#include "driver/command_line.h"

#include <functional>
#include <map>

namespace harbor {

namespace {

using Setter = std::function<void(CommandLine&, const std::string&)>;

const std::map<std::string, Setter>& ValueOptions() {
    static const std::map<std::string, Setter> options = {
        {"--module", [](CommandLine& c, const std::string& v) { c.module = v; }},
        {"--content", [](CommandLine& c, const std::string& v) { c.content = v; }},
        {"--data", [](CommandLine& c, const std::string& v) { c.data = v; }},
        {"--script", [](CommandLine& c, const std::string& v) { c.script = v; }},
        {"--player", [](CommandLine& c, const std::string& v) { c.identity.player = v; }},
        {"--kite", [](CommandLine& c, const std::string& v) { c.identity.kite = v; }},
        {"--password", [](CommandLine& c, const std::string& v) { c.identity.password = v; }},
    };
    return options;
}

const std::map<std::string, bool CommandLine::*>& Flags() {
    static const std::map<std::string, bool CommandLine::*> flags = {
        {"--trace", &CommandLine::trace},       {"--trace-timers", &CommandLine::trace_timers},
        {"--headless", &CommandLine::headless}, {"--demo", &CommandLine::demo},
        {"--help", &CommandLine::help},         {"-h", &CommandLine::help},
    };
    return flags;
}

}  // namespace

CommandLineResult ParseCommandLine(const std::vector<std::string>& args) {
    CommandLineResult result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (auto flag = Flags().find(name); flag != Flags().end()) {
            if (value) return {{}, name + " takes no value"};
            result.options.*(flag->second) = true;
            continue;
        }
        auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) return {{}, "unknown option '" + args[i] + "' (see --help)"};
        if (!value) {
            if (i + 1 == args.size()) return {{}, name + " needs a value"};
            value = args[++i];
        }
        option->second(result.options, *value);
    }
    if (result.options.trace_timers) result.options.trace = true;
    if (result.options.script) result.options.headless = true;
    if (result.options.script && result.options.demo) return {{}, "--script and --demo exclude each other"};
    return result;
}

std::string HelpText() {
    return R"(harbor: runs the Wrenmail mail module.

Usage:
  harbor [OPTIONS]                      a short headless demo (there is no window yet)
  harbor --headless --script FILE       runs a driver script (docs/driver-scripts.md)

Options:
  --module PATH     the mail module to load (default: libwrenmail.so in ../lib beside the
                    harbor binary, or the build tree's wrenmail/ folder)
  --content DIR     scenes and data dictionaries (default: ../share/wrenmail/content beside
                    the binary, or the source tree's content/)
  --data DIR        the user's data folder, created when missing (default:
                    $XDG_DATA_HOME/wrenmail or ~/.local/share/wrenmail)
  --player ID       the player ID handed to the module at start (WNPlayerID)
  --kite ID         the kite ID handed to the module at start (WNOrbitID)
  --password PW     the kite account's password handed to the module at start (WNPassword)
  --trace           print every record that crosses a port, and the services' notes, on
                    standard error; timer ticks are left out
  --trace-timers    --trace, timer ticks included
  --headless        no window: deterministic clock, web addresses are only traced
  --script FILE     run a driver script (implies --headless); exits 0 when every expectation
                    holds, 1 when one fails or a command cannot be carried out, 2 when the
                    script or the command line is wrong or the module cannot be loaded
  --demo            the headless demo session (what harbor does without --script for now)
  -h, --help        this text
)";
}

}  // namespace harbor
