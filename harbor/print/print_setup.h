// The printing a harbor run gets from its command line: finished jobs as PDF files in the data
// root's Printed/ folder, on the paper named (--paper a4|letter) or the locale's, and sent to
// the printer named (--printer NAME, through --print-command, lp by default). With a window and
// no printer named, the system's default printer is used when there is one; headless runs never
// look for one, so they print to the PDF only and repeat exactly.
#ifndef HARBOR_PRINT_PRINT_SETUP_H
#define HARBOR_PRINT_PRINT_SETUP_H

#include <filesystem>
#include <optional>
#include <string>

#include "print/print_service.h"

namespace harbor {

struct PrintChoices {
    std::filesystem::path data_dir;
    std::optional<std::string> paper;
    std::optional<std::string> printer;
    std::optional<std::string> program;
    bool headless = true;
};

// Nothing, with the reason, for a paper name that is not known.
std::optional<PrintOptions> PrintOptionsFor(const PrintChoices& choices, std::string& error);

// The folder of finished jobs under a data root.
std::filesystem::path PrintedFolder(const std::filesystem::path& data_dir);

}  // namespace harbor

#endif
