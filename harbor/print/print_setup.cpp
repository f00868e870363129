#include "print/print_setup.h"

#include "print/pdf_target.h"

namespace harbor {

std::filesystem::path PrintedFolder(const std::filesystem::path& data_dir) { return data_dir / "Printed"; }

std::optional<PrintOptions> PrintOptionsFor(const PrintChoices& choices, std::string& error) {
    PrintOptions options;
    if (choices.paper) {
        options.paper = PaperNamed(*choices.paper);
        if (!options.paper) {
            error = "--paper takes a4 or letter, not \"" + *choices.paper + "\"";
            return std::nullopt;
        }
    }
    PdfTargetOptions pdf;
    pdf.folder = PrintedFolder(choices.data_dir);
    if (choices.printer || choices.program) {
        PrinterChoice printer;
        if (choices.program) printer.program = *choices.program;
        if (choices.printer) printer.name = *choices.printer;
        pdf.printer = printer;
    } else if (!choices.headless) {
        if (std::optional<std::string> name = SystemDefaultPrinter()) pdf.printer = PrinterChoice{"lp", *name};
    }
    options.targets = PdfTargets(pdf);
    return options;
}

}  // namespace harbor
