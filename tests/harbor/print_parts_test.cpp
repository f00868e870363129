// The small parts of printing: job file names, paper and placement, the window's notice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "print/job_name.h"
#include "print/paper.h"
#include "print/print_notice.h"
#include "render/gobject_ptr.h"
#include "harbor_test_support.h"

namespace {

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
    EXPECT_DOUBLE_EQ(harbor::PaperNamed("letter")->width, 612);
    EXPECT_NEAR(harbor::PaperNamed("a4")->height, 841.89, 0.01);
    EXPECT_FALSE(harbor::PaperNamed("a5"));
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
