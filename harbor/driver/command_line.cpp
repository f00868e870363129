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
        {"--sounds", [](CommandLine& c, const std::string& v) { c.sounds = v; }},
        {"--player", [](CommandLine& c, const std::string& v) { c.identity.player = v; }},
        {"--kite", [](CommandLine& c, const std::string& v) { c.identity.kite = v; }},
        {"--password", [](CommandLine& c, const std::string& v) { c.identity.password = v; }},
        {"--dialup", [](CommandLine& c, const std::string& v) { c.dialup = ParseDialup(v).value_or(DialupOptions{}); }},
        {"--paper", [](CommandLine& c, const std::string& v) { c.paper = v; }},
        {"--printer", [](CommandLine& c, const std::string& v) { c.printer = v; }},
        {"--print-command", [](CommandLine& c, const std::string& v) { c.print_command = v; }},
    };
    return options;
}

const std::map<std::string, bool CommandLine::*>& Flags() {
    static const std::map<std::string, bool CommandLine::*> flags = {
        {"--trace", &CommandLine::trace},       {"--trace-timers", &CommandLine::trace_timers},
        {"--headless", &CommandLine::headless}, {"--demo", &CommandLine::demo},
        {"--mail-offline", &CommandLine::mail_offline},
        {"--help", &CommandLine::help},         {"-h", &CommandLine::help},
        {"--version", &CommandLine::version},
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
        if (option == ValueOptions().end()) {
            return {{}, std::string(name.starts_with("-") ? "unknown option '" : "unknown command '") + args[i] + "' (see --help)"};
        }
        if (!value) {
            if (i + 1 == args.size()) return {{}, name + " needs a value"};
            value = args[++i];
        }
        if (name == "--dialup" && !ParseDialup(*value)) return {{}, "--dialup takes ok, fail or drop-after=MS"};
        option->second(result.options, *value);
    }
    if (result.options.trace_timers) result.options.trace = true;
    if (result.options.script || result.options.demo) result.options.headless = true;
    if (result.options.script && result.options.demo) return {{}, "--script and --demo exclude each other"};
    return result;
}

std::string HelpText() {
    return R"(harbor: runs the Wrenmail mail module.

Usage:
  harbor [OPTIONS]                      opens the Wrenmail window (needs a display)
  harbor --headless [--demo]            a short demo session without a window
  harbor --headless --script FILE       runs a driver script (docs/driver-scripts.md)
  harbor dict-dump FILE | --check DIR   prints or verifies dictionary files (dict-dump --help)
  harbor page FILE                      shows a web page's words in a plain window: the viewer
                                        for content/pages when there is no browser

The window runs on the real clock with the embedded post office. Closing it asks the mail
module to finish (it has 2 seconds), then stops it. Without a display, harbor says so and
exits with status 2.

Accounts: a kite ID with its password is the account a player signs in with. A launcher
hands over who is playing with --player; --kite and --password fill in the sign-in form, and
the player still presses Enter.

Options:
  --module PATH     the mail module to load (default: libwrenmail.so in ../lib beside the
                    harbor binary, or the build tree's wrenmail/ folder)
  --content DIR     scenes and data dictionaries (default: ../share/wrenmail/content beside
                    the binary, or the source tree's content/)
  --data DIR        the user's data folder, created when missing (default:
                    $XDG_DATA_HOME/wrenmail or ~/.local/share/wrenmail)
  --sounds DIR      the help sounds, one WAV file per sound and effect (default: the content
                    folder's sounds/, or the build tree's content/sounds); without them, or
                    without an audio device, the window stays silent
  --player ID       the player ID handed to the module at start (WNPlayerID)
  --kite ID         the kite ID handed to the module at start (WNOrbitID)
  --password PW     the kite account's password handed to the module at start (WNPassword)
  --dialup MODE     simulate a dial-up connection manager: ok (the line comes up), fail (the
                    dial fails) or drop-after=MS (comes up, drops MS later); by default there
                    is none and the machine is online
  --mail-offline    the mail service cannot be reached: sign-in fails as without a network
  --trace           print every record that crosses a port, and the services' notes, on
                    standard error; timer ticks are left out
  --trace-timers    --trace, timer ticks included
  --paper SIZE      the paper printed pages are laid out for: a4 or letter (default: the
                    locale's paper)
  --printer NAME    send printed letters to this printer; without it a window run uses the
                    system's default printer when there is one, a headless run none. Every
                    printed letter is also kept as DATA/Printed/<date>-<subject>.pdf
  --print-command PROGRAM   the program that prints a PDF, called as lp is (-d NAME -- FILE)
  --headless        no window: deterministic clock, web addresses are only traced; runs the
                    demo unless --script is given
  --script FILE     run a driver script (implies --headless); exits 0 when every expectation
                    holds, 1 when one fails or a command cannot be carried out, 2 when the
                    script or the command line is wrong or the module cannot be loaded
  --demo            the headless demo session (implies --headless)
  --version         harbor's version and the mail module's, with the module's path
  -h, --help        this text

Exit status: 0 the session ended normally (a script: every expectation held); 1 a script's
expectation failed or a command could not be carried out, or the window could not paint;
2 harbor could not start: a wrong command line, a script with errors or one that cannot be
read, a data folder, content folder (missing, or a broken scene file) or module that cannot
be used (each named with the reason), or no display. A window run shows such a problem on a
plain page too. Nothing is created before these checks pass. 3 another harbor uses the data
folder (one harbor per data folder: a window says Wrenmail is already open, a script or the
demo first waits 5 seconds for it, as the account, import, server and recover commands do).

Debugging the window: `kill -USR1 PID` makes a running window write what it shows to
$TMPDIR/harbor-window-PID.png (/tmp without TMPDIR) and name the file on standard error.
)";
}

}  // namespace harbor
