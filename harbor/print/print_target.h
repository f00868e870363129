// Where printed pages go. A print job makes one target when its first page is printed, adds its
// pages one by one and finishes it when the job ends; a target dropped unfinished leaves nothing
// behind. Targets: the PDF document (pdf_target.h) and the recording kept by tests
// (recording_target.h).
#ifndef HARBOR_PRINT_PRINT_TARGET_H
#define HARBOR_PRINT_PRINT_TARGET_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <cairo.h>

#include "print/paper.h"

namespace harbor {

// Draws one page, in points from the paper's top left corner.
using PageDrawing = std::function<void(cairo_t* cr)>;

struct PrintJobInfo {
    std::string subject;  // what the job prints, as the user named it (may be empty)
    uint32_t date = 0;    // when the job started: seconds since 1970, UTC
    bool local_time = false;  // the date is shown in the local time zone (else UTC)
};

class PrintTarget {
public:
    virtual ~PrintTarget() = default;
    // Adds a page of `paper`; false with the reason when it could not be put on the job.
    virtual bool AddPage(const Paper& paper, const PageDrawing& draw, std::string& error) = 0;
    // Completes the job. `where` says where it went (a file, a printer) even when sending it on
    // failed; false with the reason when the job did not reach its end.
    virtual bool Finish(std::string& where, std::string& error) = 0;
};

// Makes the target of a new job; null with the reason when none can be made.
using PrintTargetFactory = std::function<std::unique_ptr<PrintTarget>(const PrintJobInfo& job, std::string& error)>;

}  // namespace harbor

#endif
