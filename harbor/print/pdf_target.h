// The PDF print target: pages drawn as vectors into a PDF document (text stays text, pictures
// stay sharp), written into a temporary file beside its final place and, once complete, linked
// under its final name "<date>-<subject>.pdf" (a new name when that one is taken, never over an
// existing file) and flushed to disk, then sent to the printer when one is chosen. A job that
// fails or is dropped removes its temporary file: nothing half-written stays.
#ifndef HARBOR_PRINT_PDF_TARGET_H
#define HARBOR_PRINT_PDF_TARGET_H

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "print/print_target.h"
#include "print/printer_command.h"
#include "render/gobject_ptr.h"

namespace harbor {

struct PdfTargetOptions {
    std::filesystem::path folder;          // made (owner only) when missing
    std::optional<PrinterChoice> printer;  // none: the PDF is the result
};

class PdfTarget final : public PrintTarget {
public:
    // Null with the reason when the folder or the temporary file cannot be made.
    static std::unique_ptr<PdfTarget> Open(const PdfTargetOptions& options, const PrintJobInfo& job,
                                           std::string& error);
    ~PdfTarget() override;
    PdfTarget(const PdfTarget&) = delete;
    PdfTarget& operator=(const PdfTarget&) = delete;

    bool AddPage(const Paper& paper, const PageDrawing& draw, std::string& error) override;
    bool Finish(std::string& where, std::string& error) override;

    // The finished document's path (empty before Finish succeeded in writing it).
    const std::filesystem::path& File() const { return final_; }

private:
    PdfTarget(PdfTargetOptions options, PrintJobInfo job, int fd, std::filesystem::path temporary);
    static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length);
    bool Failed(std::string& error) const;
    bool Publish(std::string& error);
    void Discard();

    PdfTargetOptions options_;
    PrintJobInfo job_;
    int fd_ = -1;
    int write_errno_ = 0;  // the first write error: the disk is full, or gone
    std::filesystem::path temporary_;
    std::filesystem::path final_;
    CairoSurfacePtr surface_;
    int pages_ = 0;
};

// A factory of PDF targets, for PrintOptions.
PrintTargetFactory PdfTargets(PdfTargetOptions options);

}  // namespace harbor

#endif
