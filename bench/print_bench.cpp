// Printing a letter of ten pages in a whole Harbor session with the module: Print clicked on the
// read screen, every page laid out by the module, painted as vectors and written to a PDF file,
// until the read screen is back. The simulated clock's waits cost nothing; what is measured is
// the work. Reported per page.
//   BM_PrintLetter           the letter printed through the module and the print service
//   BM_PrintLetter_Baseline  the same number of pages of the same lines drawn straight into a
//                            Cairo PDF surface with Pango, nothing else
#include <benchmark/benchmark.h>

#include "bench_scratch.h"

#include <cairo-pdf.h>
#include <pango/pangocairo.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "fileio/dict_file_format.h"
#include "hxmsg.h"
#include "print/pdf_target.h"
#include "print/print_service.h"
#include "runtime/session.h"

namespace {

namespace fs = std::filesystem;

constexpr int kLines = 84;  // ten pages: six lines on the first, nine on each further one
constexpr int kFirstPageLines = 6;
constexpr int kLinesPerPage = 9;

bench::Scratch& Space() {
    static bench::Scratch scratch("wrenmail_print_bench_");
    return scratch;
}

std::string Line(int n) { return "Line " + std::to_string(n) + " of the letter about kites and the hill"; }

std::string LetterText() {
    std::string text = "From: granny_05\r\nTo: p7\r\nSubject: Kites\r\nDate: 02 Jan 2026 10:00:00 +0000\r\n\r\n";
    for (int n = 1; n <= kLines; ++n) text += Line(n) + "\r\n";
    return text;
}

void WriteDict(const fs::path& file, const std::vector<harbor::DictFileEntry>& entries) {
    std::string bytes;
    harbor::EncodeDictFile(entries, bytes);
    std::ofstream(file, std::ios::binary) << bytes;
}

// Counts the pages that reach the PDF targets.
harbor::PrintTargetFactory Counting(harbor::PrintTargetFactory inner, std::size_t& pages) {
    class Target final : public harbor::PrintTarget {
    public:
        Target(std::unique_ptr<harbor::PrintTarget> inner, std::size_t& pages) : inner_(std::move(inner)), pages_(pages) {}
        bool AddPage(const harbor::Paper& paper, const harbor::PageDrawing& draw, std::string& error) override {
            const bool added = inner_->AddPage(paper, draw, error);
            pages_ += added ? 1 : 0;
            return added;
        }
        bool Finish(std::string& where, std::string& error) override { return inner_->Finish(where, error); }

    private:
        std::unique_ptr<harbor::PrintTarget> inner_;
        std::size_t& pages_;
    };
    return [inner = std::move(inner), &pages](const harbor::PrintJobInfo& job, std::string& error)
               -> std::unique_ptr<harbor::PrintTarget> {
        std::unique_ptr<harbor::PrintTarget> target = inner(job, error);
        if (!target) return nullptr;
        return std::make_unique<Target>(std::move(target), pages);
    };
}

// Player p7's mailbox holding the letter, opened on the read screen.
class PrintSession {
public:
    PrintSession() : session_(Options()) {
        harbor::PdfTargetOptions pdf;
        pdf.folder = session_.Options().data_dir / "Printed";
        harbor::PrintOptions options;
        options.paper = harbor::A4Paper();
        options.targets = Counting(harbor::PdfTargets(pdf), pages_);
        printing_ = std::make_unique<harbor::PrintService>(session_.Scenes(), session_.Options().content_dir, nullptr,
                                                           std::move(options));
        std::string error;
        if (!session_.LoadModule(error)) return;
        session_.Start();
        driver_ = std::make_unique<harbor::Driver>(session_);
        driver_->Wait(20);
        ok_ = driver_->ClickAt(250, 188, 2).empty() && driver_->Wait(20).empty() && driver_->Scene("ScRdRead").ok;
    }
    bool Ok() const { return ok_; }
    std::size_t Pages() const { return pages_; }

    // Print, then the clock runs until the read screen is back and the job is written.
    bool Print() {
        if (!driver_->Click("BtnRdPrint").empty()) return false;
        for (int step = 0; step < 100; ++step) {
            driver_->Wait(250);
            if (driver_->Scene("ScRdRead").ok && !printing_->JobOpen()) return true;
        }
        return false;
    }

private:
    static harbor::SessionOptions Options() {
        harbor::SessionOptions options;
        options.module_path = WRENMAIL_MODULE_PATH;
        options.content_dir = HARBOR_CONTENT_DIR;
        options.data_dir = Space().Fresh("session");
        const fs::path inbox = options.data_dir / "MailBoxes" / "Players" / "p7" / "InBox";
        fs::create_directories(inbox);
        WriteDict(inbox / "WN1.wnl", {{"Message", harbor::StoredKind::Text, 0, LetterText()},
                                      {"MailID", harbor::StoredKind::Long, 1, {}}});
        WriteDict(inbox / "folder.dat", {{"LastID", harbor::StoredKind::Long, 1, {}}});
        options.identity = harbor::Identity{"p7", "", ""};
        return options;
    }

    harbor::Session session_;
    std::size_t pages_ = 0;
    std::unique_ptr<harbor::PrintService> printing_;
    std::unique_ptr<harbor::Driver> driver_;
    bool ok_ = false;
};

void BM_PrintLetter(benchmark::State& state) {
    HxReset();
    PrintSession session;
    if (!session.Ok()) {
        state.SkipWithError("the letter did not open");
        return;
    }
    for (auto _ : state) {
        if (!session.Print()) {
            state.SkipWithError("the letter did not print");
            break;
        }
    }
    const double pages = static_cast<double>(session.Pages());
    state.counters["pages_per_letter"] = pages / static_cast<double>(state.iterations());
    state.counters["pages"] = benchmark::Counter(pages, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrintLetter)->Unit(benchmark::kMillisecond);

void BM_PrintLetter_Baseline(benchmark::State& state) {
    const fs::path folder = Space().Fresh("baseline");
    const int pages = (kLines - kFirstPageLines + kLinesPerPage - 1) / kLinesPerPage + 1;
    int file = 0;
    for (auto _ : state) {
        const fs::path pdf = folder / ("letter" + std::to_string(++file) + ".pdf");
        cairo_surface_t* surface = cairo_pdf_surface_create(pdf.c_str(), 595.28, 841.89);
        cairo_t* cr = cairo_create(surface);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        PangoFontDescription* font = pango_font_description_from_string("Comic Sans MS 18px");
        pango_layout_set_font_description(layout, font);
        int line = 1;
        for (int page = 0; page < pages; ++page) {
            const int count = page == 0 ? kFirstPageLines : kLinesPerPage;
            for (int k = 0; k < count && line <= kLines; ++k, ++line) {
                const std::string text = Line(line);
                pango_layout_set_text(layout, text.c_str(), -1);
                cairo_move_to(cr, 60, 200 + 36 * k);
                pango_cairo_show_layout(cr, layout);
            }
            cairo_show_page(cr);
        }
        pango_font_description_free(font);
        g_object_unref(layout);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
    }
    state.counters["pages_per_letter"] = pages;
    state.counters["pages"] = benchmark::Counter(static_cast<double>(pages) * static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrintLetter_Baseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
