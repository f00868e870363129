// A print target that keeps every page as a Cairo recording, for tests: they count pages, look at
// them as pictures, and make a page or the job's end fail on purpose.
//
//   RecordingPrinter printer;  options.target = printer.Factory();
//   ... print ...   printer.Jobs()[0].pages.size(), printer.Render(0, 0) -> an image surface
#ifndef HARBOR_PRINT_RECORDING_TARGET_H
#define HARBOR_PRINT_RECORDING_TARGET_H

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "print/print_target.h"
#include "render/gobject_ptr.h"

namespace harbor {

struct RecordedPage {
    Paper paper;
    CairoSurfacePtr drawing;  // a recording surface of the paper's size
};

struct RecordedJob {
    PrintJobInfo info;
    std::vector<RecordedPage> pages;
    bool finished = false;
    bool dropped = false;  // the target was let go without Finish
};

class RecordingPrinter {
public:
    RecordingPrinter();

    // Makes targets that record into this printer, which must outlive them.
    PrintTargetFactory Factory();

    // Failures on purpose: the nth page added (0 first, counted over all jobs) fails, the end of
    // every job fails, or no job can start.
    void FailPage(std::size_t index) { fail_page_ = index; }
    void FailFinish(bool fail) { fail_finish_ = fail; }
    void FailStart(bool fail) { fail_start_ = fail; }

    const std::vector<RecordedJob>& Jobs() const { return *jobs_; }
    std::size_t PagesAdded() const { return pages_added_; }
    // A recorded page as an ARGB32 image, `scale` pixels per point; null when there is no such page.
    CairoSurfacePtr Render(std::size_t job, std::size_t page, double scale = 1) const;

private:
    class Target;
    friend class Target;

    std::shared_ptr<std::vector<RecordedJob>> jobs_;
    std::optional<std::size_t> fail_page_;
    bool fail_finish_ = false;
    bool fail_start_ = false;
    std::size_t pages_added_ = 0;
};

}  // namespace harbor

#endif
