// The print screen against the null host, acting as the host would on WNPrintPort: the
// order of its requests, the pages paced by painted views, stop, and a missing letter.
#include "screens/print_screen.h"

#include <string>
#include <vector>

#include "fake_canvas.h"
#include "../controls/request_fields.h"
#include "module_test.h"
#include "controls/control_atoms.h"

namespace {

constexpr int32_t kDate = 123;

class PrintScreenTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Start("p7", "ann_01", "pw");
        // The letter has no parts, so its own body is printed.
        letter_ = mail_.Add(FakeObject{{{atoms::mail::To, "p7"},
                                        {atoms::mail::From, "granny_05"},
                                        {atoms::mail::Subject, "Hello"},
                                        {atoms::mail::Body, "one\ntwo\nthree\nfour\nfive\nsix\nseven"}},
                                       {{atoms::mail::Date, kDate}},
                                       {},
                                       false});
        // The first page's body area holds two lines, the further pages' three.
        host_.scenes.Attach(scene_);
        host_.scenes.rects[atoms::print::PvtPrMessage1] = {0, 0, 203, 83};
        host_.scenes.anyRect = FakeSceneService::Rect{0, 0, 203, 123};
        wm::Handover().current_message = letter_;
        wm::Handover().printing = 1;
        wm::CurrentScreen()->ShowDialog(wm::kDialogNoButtons, Atom("Printing"), "Printing...");
    }

    static bool Deliver(EDict record) { return PM_PrintMessage(&record); }
    static void PageDone(int32_t status) {
        EDict done = Record(code::kPageDone);
        EDictPutLong(&done, atoms::STATUS, status);
        Deliver(done);
    }
    // The host shows the body sprite and asks for its picture.
    std::vector<std::string> ShowAndPaint(uint16_t sprite) {
        Deliver(Named(code::kSpriteReady, sprite));
        return Paint(sprite);
    }
    std::vector<std::string> Paint(uint16_t sprite) {
        wm::testing::FakeCanvas canvas(203, 123);
        EDict draw = Named(code::kDraw, sprite);
        EDictPutPointer(&draw, atoms::controls::Bitmap, static_cast<CanvasInterface*>(&canvas));
        EXPECT_TRUE(Deliver(draw));
        return canvas.DrawnTexts();
    }

    void Forget() {
        host_.Forget();
        host_.scenes.textsShown.clear();
    }
    // What the screen asked of the mail and regional services and of its scene, in order. A text
    // is taken as the scene got it: the record holds only its address.
    std::vector<std::string> Trace() const {
        std::vector<std::string> trace;
        size_t texts = 0;
        const auto& shown = host_.scenes.textsShown;
        for (const HostRequest& r : host_.Requests(0)) {
            const uint16_t type = EDictGetType(&r.record);
            const auto name = [&r](uint16_t key) { return std::string(DaNameGetString(EDictGetShort(&r.record, key))); };
            if (r.port == atoms::mail::MailPort && type == code::kGet) {
                trace.push_back(std::string("get ") + DaNameGetString(EDictKeyAt(&r.record, 1, nullptr)));
            } else if (r.port == atoms::RegionalPort) {
                trace.push_back("date " + std::to_string(EDictGetLong(&r.record, atoms::files::DATE)) + " size " +
                                std::to_string(EDictGetLong(&r.record, atoms::files::SIZE)) + " short " +
                                std::to_string(EDictGetLong(&r.record, atoms::files::SHORTDATE)));
            } else if (r.port == scene_ && type == code::kStart) {
                trace.push_back("load " + name(atoms::SPRITENAME));
            } else if (r.port == scene_ && type == code::kSet && EDictHasKey(&r.record, atoms::TEXT)) {
                trace.push_back("text " + name(atoms::NAME) + " " +
                                (texts < shown.size() ? shown[texts++].second : "(missed)"));
            } else if (r.port == scene_ && type == code::kSet && EDictHasKey(&r.record, atoms::VISIBLE) &&
                       EDictGetShort(&r.record, atoms::NAME) != atoms::richview::AniWrCursor) {
                trace.push_back((EDictGetBool(&r.record, atoms::VISIBLE) ? "show " : "hide ") + name(atoms::NAME));
            } else if (r.port == scene_ && type == code::kPrint) {
                trace.push_back("print " + std::to_string(r.delay) +
                                (EDictGetBool(&r.record, atoms::messaging::NEWPRINT) ? " NEWPRINT" : "") +
                                (EDictGetBool(&r.record, atoms::BESTFIT) ? " BESTFIT" : ""));
            } else if (r.port == atoms::AppPort && type == code::kStop) {
                trace.push_back("leave " + name(atoms::NAME) + " " + std::to_string(r.delay));
            }
        }
        return trace;
    }
    size_t Prints() const { return host_.Requests(scene_, code::kPrint).size(); }

    uint32_t letter_ = 0;
    const uint16_t scene_ = atoms::ports::ScPrPrint;
};

TEST_F(PrintScreenTest, TheFirstPageReadsTheWholeLetterBeforeFillingTheScene) {
    Forget();
    EXPECT_FALSE(Deliver(Record(code::kEntered)));
    EXPECT_TRUE(Attached(atoms::TimerPortTick, &PM_PrintMessage));
    const std::vector<std::string> expected = {
        "load AniPrFirstPage", "load AniPrOtherPage", "hide AniPrFirstPage", "hide AniPrOtherPage",
        "load PvtPrMessage1", "load AniWrCursor",
        "get To", "get From", "get Subject", "get Date", "get Parts", "get Body",
        "text TxtPrTo p7", "text TxtPrFrom granny_05", "text TxtPrSubject Hello",
        "date 123 size 64 short 1", "text TxtPrDate d123", "text TxtPrPage 1",
        "print 1000 NEWPRINT BESTFIT"};
    EXPECT_EQ(Trace(), expected);
}

TEST_F(PrintScreenTest, WithoutALetterTheSceneIsLeftAndNothingIsAsked) {
    wm::Handover().current_message = 0;
    Forget();
    Deliver(Record(code::kEntered));
    const std::vector<std::string> expected = {"load AniPrFirstPage", "load AniPrOtherPage", "hide AniPrFirstPage",
                                               "hide AniPrOtherPage", "load PvtPrMessage1", "load AniWrCursor",
                                               "leave ScPrPrint 0"};
    EXPECT_EQ(Trace(), expected);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(wm::Handover().printing, 1) << "only the scene's stop clears it";
}

TEST_F(PrintScreenTest, EachPageStartsAfterTheLastLineOfTheOneBeforeOncePainted) {
    Deliver(Record(code::kEntered));
    EXPECT_EQ(ShowAndPaint(atoms::print::PvtPrMessage1), (Lines{"one", "two"}));
    Forget();
    PageDone(0);
    const std::vector<std::string> nextPage = {
        "load PvtPrMessage2", "load AniWrCursor", "get Parts", "get Body",
        "hide TxtPrTo", "hide TxtPrFrom", "hide TxtPrSubject", "hide TxtPrDate", "hide TxtPrToStatic",
        "hide TxtPrFromStatic", "hide TxtPrSubjectStatic", "hide TxtPrDateStatic", "hide AniPrFirstPage",
        "show AniPrOtherPage", "text TxtPrPage 2"};
    EXPECT_EQ(Trace(), nextPage);
    Tick();  // the new view has not been painted yet
    EXPECT_EQ(Prints(), 0u);
    ShowAndPaint(atoms::print::PvtPrMessage2);
    Tick();
    EXPECT_EQ(Trace().back(), "print 1000 NEWPRINT BESTFIT");
    Tick();
    EXPECT_EQ(Prints(), 1u) << "one request per page";
    EXPECT_EQ(Paint(atoms::print::PvtPrMessage2), (Lines{"three", "four", "five"}));

    PageDone(0);
    EXPECT_EQ(Trace().back(), "text TxtPrPage 3");
    ShowAndPaint(atoms::print::PvtPrMessage2);
    Tick();
    EXPECT_EQ(Paint(atoms::print::PvtPrMessage2), (Lines{"six", "seven"}));
    PageDone(0);
    ShowAndPaint(atoms::print::PvtPrMessage2);
    Tick();  // line 8 is past the end: the letter is done
    EXPECT_EQ(Trace().back(), "leave ScPrPrint 0");
    EXPECT_EQ(Prints(), 2u);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_EQ(wm::Handover().printing, 1);
    Deliver(Record(code::kLeft));
    EXPECT_EQ(wm::Handover().printing, 0);
    EXPECT_FALSE(Attached(atoms::TimerPortTick, &PM_PrintMessage));
}

TEST_F(PrintScreenTest, AFailedPageLeavesWithTheNoticeAndAStopKeepsThePendingPage) {
    Deliver(Record(code::kEntered));
    ShowAndPaint(atoms::print::PvtPrMessage1);
    Forget();
    PageDone(1);
    EXPECT_EQ(Trace(), Lines{"leave ScPrPrint 0"});
    EXPECT_TRUE(wm::CommonDialog().up);
    EXPECT_EQ(wm::CommonDialog().current, atoms::dialogs::PrintingError);

    // Stop takes the view, the tick and the printing flag, nothing else: a page set up before it
    // still waits, and the next start's first painted view prints it.
    PageDone(0);
    Deliver(Record(code::kLeft));
    EXPECT_EQ(wm::Handover().printing, 0);
    EXPECT_EQ(wm::PrintScreen().view, nullptr);
    EXPECT_EQ(wm::PrintScreen().page_pending, 1);
    Forget();
    PageDone(0);  // a report after the stop has no page to follow
    EXPECT_TRUE(Trace().empty());
    Deliver(Record(code::kEntered));
    ShowAndPaint(atoms::print::PvtPrMessage1);
    Tick();
    EXPECT_EQ(Prints(), 2u);
}

// The host may leave the print scene while the page asks the mail service for the letter: the
// page is filled no further and its view goes once the entry returns.
TEST_F(PrintScreenTest, AStopWhileThePageAsksForTheLetterLeavesNoView) {
    static int gets = 0;
    gets = 0;
    const HxHandler leaveAtTheFirstGet = [](EDict* record) {
        if (EDictGetType(record) == code::kGet && gets++ == 0) {
            EDict left = Record(code::kLeft);
            PM_PrintMessage(&left);
        }
        return false;
    };
    HxPortAttach(atoms::mail::MailPort, leaveAtTheFirstGet);
    Deliver(Record(code::kEntered));
    HxPortDetach(atoms::mail::MailPort, leaveAtTheFirstGet);
    EXPECT_GT(gets, 1);
    EXPECT_EQ(wm::PrintScreen().view, nullptr);
    EXPECT_EQ(wm::Handover().printing, 0);
}

}  // namespace
