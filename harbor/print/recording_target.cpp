#include "print/recording_target.h"

#include <cmath>

namespace harbor {

class RecordingPrinter::Target final : public PrintTarget {
public:
    Target(RecordingPrinter& printer, std::size_t job) : printer_(printer), job_(job) {}
    ~Target() override {
        if (!finished_) Job().dropped = true;
    }

    bool AddPage(const Paper& paper, const PageDrawing& draw, std::string& error) override {
        const std::size_t index = printer_.pages_added_++;
        if (printer_.fail_page_ && *printer_.fail_page_ == index) {
            error = "page " + std::to_string(index) + " fails on purpose";
            return false;
        }
        cairo_rectangle_t extents{0, 0, paper.width, paper.height};
        CairoSurfacePtr drawing(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
        {
            CairoPtr cr(cairo_create(drawing.get()));
            draw(cr.get());
        }
        Job().pages.push_back(RecordedPage{paper, std::move(drawing)});
        return true;
    }

    bool Finish(std::string& where, std::string& error) override {
        finished_ = true;
        where = "the recording";
        if (printer_.fail_finish_) {
            error = "the end of the job fails on purpose";
            return false;
        }
        Job().finished = true;
        return true;
    }

private:
    RecordedJob& Job() { return (*printer_.jobs_)[job_]; }

    RecordingPrinter& printer_;
    std::size_t job_;
    bool finished_ = false;
};

RecordingPrinter::RecordingPrinter() : jobs_(std::make_shared<std::vector<RecordedJob>>()) {}

PrintTargetFactory RecordingPrinter::Factory() {
    return [this](const PrintJobInfo& info, std::string& error) -> std::unique_ptr<PrintTarget> {
        if (fail_start_) {
            error = "no job can start, on purpose";
            return nullptr;
        }
        jobs_->push_back(RecordedJob{info, {}, false, false});
        return std::make_unique<Target>(*this, jobs_->size() - 1);
    };
}

CairoSurfacePtr RecordingPrinter::Render(std::size_t job, std::size_t page, double scale) const {
    if (job >= jobs_->size() || page >= (*jobs_)[job].pages.size()) return nullptr;
    const RecordedPage& recorded = (*jobs_)[job].pages[page];
    const int width = static_cast<int>(std::ceil(recorded.paper.width * scale));
    const int height = static_cast<int>(std::ceil(recorded.paper.height * scale));
    CairoSurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    {
        CairoPtr cr(cairo_create(image.get()));
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        cairo_scale(cr.get(), scale, scale);
        cairo_set_source_surface(cr.get(), recorded.drawing.get(), 0, 0);
        cairo_paint(cr.get());
    }
    cairo_surface_flush(image.get());
    return image;
}

}  // namespace harbor
