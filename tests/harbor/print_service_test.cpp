// Printing scenes through a Harbor session: a small print scene whose rich text sprite this test
// paints as the module would, printed onto the recording target and into real PDF files read
// back with pdfinfo.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "render_test_support.h"
#include "request_builder.h"
#include "print/job_name.h"
#include "print/paper.h"
#include "print/pdf_target.h"
#include "print/print_notice.h"
#include "print/print_service.h"
#include "print/print_setup.h"
#include "print/recording_target.h"
#include "render/gobject_ptr.h"

namespace {

namespace fs = std::filesystem;
using harbor_test::A;
using harbor_test::Req;

// Answers on PtPort as a module would: the page statuses it was sent, and the body's picture.
std::vector<int32_t> statuses;
std::string body_text = "first body line";

bool HXCALL PtPort(EDict* record) {
    if (EDictGetType(record) == 30063) statuses.push_back(EDictGetLong(record, A("STATUS")));
    if (EDictGetType(record) != 30072) return false;
    auto* canvas = static_cast<CanvasInterface*>(EDictGetPointer(record, A("Bitmap")));
    canvas->SetColor(250, 0, 0);
    canvas->Rectangle(0, 0, 200, 100);
    canvas->Fill();
    canvas->SetColor(0, 0, 0);
    canvas->MoveTo(4, 4);
    canvas->DrawText(body_text.c_str());
    EDictPutBool(record, A("UPDATED"), true);
    return true;
}

class PrintTest : public HarborFixture {
protected:
    void SetUp() override {
        HarborFixture::SetUp();
        statuses.clear();
        harbor_test::WriteFile(content_.Path() / "scenes" / "ScPtPage.json", R"({
  "scene": "ScPtPage", "eventPort": "PtPort", "overlay": true, "size": [640, 480], "background": {"fill": "#ffffff"},
  "sprites": [
    { "name": "TxtPrSubject", "kind": "text", "rect": [40, 10, 500, 30], "z": 5, "visible": true, "text": "" },
    { "name": "PvtPtBody", "kind": "richtext", "rect": [40, 200, 200, 100], "z": 6, "visible": true }
  ]
})");
        Options().content_dir = content_.Path();
        Options().data_dir = data_.Path();
    }

    void Use(harbor::PrintTargetFactory targets, harbor::Paper paper = harbor::A4Paper()) {
        harbor::PrintOptions options;
        options.paper = paper;
        options.targets = std::move(targets);
        UseOptions(std::move(options));
    }
    void UseOptions(harbor::PrintOptions options) {
        harbor::Session& session = GetSession();
        options.vector_scenes = {"ScPtPage"};
        printing_ = std::make_unique<harbor::PrintService>(session.Scenes(), content_.Path(), nullptr, std::move(options));
        // The stand-in for the module attaches after the service, as the module starts after it.
        HxPortAttach(A("PtPort"), &PtPort);
    }
    void TearDown() override {
        printing_.reset();
        HarborFixture::TearDown();
    }

    void Show() {
        ASSERT_TRUE(GetSession().Scenes().ShowScene(A("ScPtPage")));
        Wait(20);
    }
    // After a frame, so the body's picture is the module's latest.
    void PrintPage() {
        Wait(20);
        Req(30047).Bool("NEWPRINT", true).Bool("BESTFIT", true).PostTo(A("ScPtPage"));
        Wait(20);
    }
    void Leave() {
        ASSERT_TRUE(GetSession().Scenes().CloseScene(A("ScPtPage")));
        Wait(20);
    }
    // A visit to the scene that prints one page.
    void PrintOnePage() {
        Show();
        PrintPage();
        Leave();
    }
    // PDF files into the data root's Printed folder, which is answered.
    fs::path UsePdf() {
        harbor::PdfTargetOptions pdf;
        pdf.folder = harbor::PrintedFolder(data_.Path());
        Use(harbor::PdfTargets(pdf));
        return pdf.folder;
    }

    harbor_test::TempDir content_;
    harbor_test::TempDir data_;
    std::unique_ptr<harbor::PrintService> printing_;
};

TEST_F(PrintTest, EachRequestIsAPageAndLeavingTheSceneEndsTheJob) {
    harbor::RecordingPrinter printer;
    Use(printer.Factory(), harbor::LetterPaper());
    Show();
    Req(30052).Name("TxtPrSubject").Text("TEXT", "Hi granny").SendTo(A("ScPtPage"));
    PrintPage();
    PrintPage();
    EXPECT_EQ(statuses, (std::vector<int32_t>{0, 0}));
    ASSERT_EQ(printer.Jobs().size(), 1u);
    EXPECT_FALSE(printer.Jobs()[0].finished);
    Leave();
    const harbor::RecordedJob& job = printer.Jobs()[0];
    EXPECT_TRUE(job.finished);
    EXPECT_EQ(job.info.subject, "Hi granny");
    ASSERT_EQ(job.pages.size(), 2u);
    EXPECT_EQ(job.pages[1].paper.name, "Letter");

    // The stage fits the page with its aspect kept: the body the module painted red lands where
    // the placement puts the sprite's middle, and the page outside the stage stays white.
    const harbor::PagePlacement placed = harbor::FitOnPage(harbor::LetterPaper(), 640, 480, 36);
    harbor::CairoSurfacePtr rendered = printer.Render(0, 0);
    ASSERT_NE(rendered, nullptr);
    const render_test::Image page(rendered.release());
    const auto at = [&](double x, double y) { return page.At(int(placed.x + x * placed.scale), int(placed.y + y * placed.scale)); };
    EXPECT_EQ(at(40 + 150, 200 + 80), render_test::Rgb(0xfa, 0, 0));
    EXPECT_EQ(at(300, 700), render_test::Rgb(0xff, 0xff, 0xff));

    PrintOnePage();  // a new visit prints a new job
    EXPECT_EQ(printer.Jobs().size(), 2u);
}

TEST_F(PrintTest, FailuresAnswerANonZeroStatusAndDropTheJob) {
    harbor::RecordingPrinter printer;
    Use(printer.Factory());
    PrintPage();  // the scene is not shown
    Show();
    printer.FailPage(1);
    PrintPage();
    PrintPage();
    EXPECT_EQ(statuses, (std::vector<int32_t>{1, 0, 1}));
    ASSERT_EQ(printer.Jobs().size(), 1u);
    EXPECT_TRUE(printer.Jobs()[0].dropped);
    EXPECT_FALSE(printer.Jobs()[0].finished);

    // A job that cannot end is reported after the scene is left, as one more status.
    statuses.clear();
    printer.FailFinish(true);
    PrintPage();
    Leave();
    EXPECT_EQ(statuses, (std::vector<int32_t>{0, 1}));
    EXPECT_NE(printing_->LastOutcome().find("printing failed"), std::string::npos);
}

TEST_F(PrintTest, APrinterCommandGetsTheFinishedFileAndItsFailureIsReported) {
    const fs::path log = data_.Path() / "lp.log";
    const fs::path good = data_.Path() / "good-lp";
    const fs::path bad = data_.Path() / "bad-lp";
    harbor_test::WriteFile(good, "#!/bin/sh\necho \"$@\" > '" + log.string() + "'\n");
    harbor_test::WriteFile(bad, "#!/bin/sh\necho 'lp: The printer or class does not exist.' >&2\nexit 1\n");
    for (const fs::path& script : {good, bad}) chmod(script.c_str(), 0700);

    std::string error;
    std::optional<harbor::PrintOptions> options =
        harbor::PrintOptionsFor({data_.Path(), "letter", "office", good.string(), true}, error);
    ASSERT_TRUE(options) << error;
    UseOptions(std::move(*options));
    PrintOnePage();
    EXPECT_EQ(statuses, (std::vector<int32_t>{0}));
    // The file is named for the date and subject, and laid out on the paper chosen.
    const fs::path pdf = harbor::PrintedFolder(data_.Path()) / "2026-12-05-letter.pdf";
    const std::string args = harbor_test::ReadFile(log);
    EXPECT_EQ(args.substr(0, args.find('\n')), "-d office -- " + pdf.string());
    EXPECT_NE(printing_->LastOutcome().find(pdf.string()), std::string::npos) << printing_->LastOutcome();
    const std::string info = harbor_test::RunCommand("pdfinfo '" + pdf.string() + "'").output;
    EXPECT_NE(info.find("612 x 792 pts (letter)"), std::string::npos) << info;

    printing_.reset();
    options = harbor::PrintOptionsFor({data_.Path(), std::nullopt, "office", bad.string(), true}, error);
    UseOptions(std::move(*options));
    statuses.clear();
    PrintOnePage();
    EXPECT_EQ(statuses, (std::vector<int32_t>{0, 1}));
    EXPECT_NE(printing_->LastOutcome().find("The printer or class does not exist"), std::string::npos)
        << printing_->LastOutcome();
    EXPECT_FALSE(harbor::PrintOptionsFor({data_.Path(), "A5", std::nullopt, std::nullopt, true}, error));
}

TEST_F(PrintTest, AFolderThatCannotBeWrittenPrintsNothing) {
    harbor_test::WriteFile(data_.Path() / "Printed", "a file where the folder should be");
    const fs::path folder = UsePdf();
    PrintOnePage();
    EXPECT_EQ(statuses, (std::vector<int32_t>{1}));
    EXPECT_TRUE(fs::is_regular_file(folder));
}

// A disk that fills up while the job is written: every write past a small size fails (the file
// size limit stands in for a full disk). The job fails, and nothing is left in Printed/.
TEST_F(PrintTest, ADiskThatFillsUpLeavesNothingHalfWritten) {
    const fs::path folder = UsePdf();
    Show();
    body_text = std::string(400, 'x');
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1500;
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    PrintPage();
    PrintPage();
    Leave();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), 1);
    EXPECT_TRUE(!fs::exists(folder) || fs::is_empty(folder));
}

// The small parts of printing: job file names, paper and placement, the window's notice.
TEST(PrintJobName, SubjectsBecomeSafeFileNames) {
    EXPECT_EQ(harbor::SafeSubject("Hi / granny?"), "Hi_granny");
    EXPECT_EQ(harbor::SafeSubject("../../etc/passwd"), "etc_passwd");
    EXPECT_EQ(harbor::SafeSubject("--help me"), "help_me");
    EXPECT_EQ(harbor::SafeSubject("  ***  "), "letter");
    EXPECT_EQ(harbor::SafeSubject("\xc3\xa9t\xc3\xa9 2026"), "t_2026");
    EXPECT_EQ(harbor::SafeSubject(std::string(300, 'k')).size(), 60u);
    EXPECT_EQ(harbor::JobFileStem(1796489160, false, "re: kites", 3), "2026-12-05-re_kites-3");
}

TEST(PrintPaper, NamesAndThePlacementOfTheStage) {
    ASSERT_TRUE(harbor::PaperNamed("LETTER"));
    EXPECT_NEAR(harbor::PaperNamed("a4")->height, 841.89, 0.01);
    // A wide stage on a tall page: the width fills the margins, the height keeps the aspect.
    const harbor::PagePlacement placed = harbor::FitOnPage(harbor::A4Paper(), 640, 480, 36);
    EXPECT_NEAR(640 * placed.scale, harbor::A4Paper().width - 72, 1e-9);
    EXPECT_NEAR(placed.x, 36, 1e-9);
    EXPECT_NEAR(placed.y, 36, 1e-9);
    // A tall stage on a wide page: the height fills, centred across.
    const harbor::Paper wide{"wide", 1000, 500};
    const harbor::PagePlacement tall = harbor::FitOnPage(wide, 100, 200, 50);
    EXPECT_NEAR(tall.scale, 2, 1e-9);
    EXPECT_NEAR(tall.x, 400, 1e-9);
}

// US Letter where the locale's paper is, A4 elsewhere: a US locale compiled for the test.
TEST(PrintPaper, TheLocaleChoosesLetterOrA4) {
    harbor_test::TempDir locales;
    const std::string make = "localedef -i en_US -f UTF-8 '" + (locales.Path() / "en_US.UTF-8").string() + "' 2>/dev/null";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "localedef cannot make en_US here";
    unsetenv("LC_ALL");  // it would stand above LC_PAPER
    setenv("LOCPATH", locales.Path().c_str(), 1);
    setenv("LC_PAPER", "en_US.UTF-8", 1);
    EXPECT_EQ(harbor::PaperFromLocale().name, "Letter");
    setenv("LC_PAPER", "C", 1);
    EXPECT_EQ(harbor::PaperFromLocale().name, "A4");
    unsetenv("LC_PAPER");
    unsetenv("LOCPATH");
}

TEST(PrintNotice, ABannerForAFewSeconds) {
    harbor::CairoSurfacePtr stage(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 640, 480));
    harbor::CairoPtr cr(cairo_create(stage.get()));
    auto corner = [&] {
        cairo_surface_flush(stage.get());
        const unsigned char* data = cairo_image_surface_get_data(stage.get());
        return data[460 * cairo_image_surface_get_stride(stage.get()) + 20 * 4 + 2];  // red at (20, 460)
    };
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    harbor::PrintNotice notice;
    notice.Show("printed 1 page to /home/ann/Printed/2026-12-05-Kites.pdf", 1000);
    notice.Paint(cr.get(), 1000 + harbor::PrintNotice::kShownMs);
    EXPECT_EQ(corner(), 255);  // over: nothing drawn
    notice.Paint(cr.get(), 1500);
    EXPECT_LT(corner(), 100);
}

}  // namespace
