// Sending a finished document to a printer through the print system's command line tool:
//   lp -d NAME FILE       a named printer
//   lp FILE               the system's default printer
// The program can be another with lp's arguments (tests use a script that fails).
#ifndef HARBOR_PRINT_PRINTER_COMMAND_H
#define HARBOR_PRINT_PRINTER_COMMAND_H

#include <filesystem>
#include <optional>
#include <string>

namespace harbor {

struct PrinterChoice {
    std::string program = "lp";
    std::string name;  // empty: the system's default printer
};

// Runs the program on `file` and waits for it; false with the reason (what it wrote on stderr,
// or its exit status) when it cannot start or does not succeed.
bool SendToPrinter(const PrinterChoice& printer, const std::filesystem::path& file, std::string& error);

// The system's default printer as `lpstat -d` names it; nothing when lpstat is missing or there
// is no default.
std::optional<std::string> SystemDefaultPrinter();

}  // namespace harbor

#endif
