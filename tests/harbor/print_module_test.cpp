// The mail module's print screen on Harbor's print service, in one process: pages paced by the
// module, seen through the recording target (a failing printer is the print_failing_printer
// session's).
#include <memory>

#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "request_builder.h"
#include "print/print_service.h"
#include "print/recording_target.h"

namespace {

using harbor_test::A;

class PrintModuleTest : public HarborFixture {
protected:
    void SetUp() override {
        HarborFixture::SetUp();
        Options().data_dir = data_.Path();
        harbor::PrintOptions options;
        options.paper = harbor::A4Paper();
        options.targets = printer_.Factory();
        harbor::Session& session = GetSession();
        printing_ = std::make_unique<harbor::PrintService>(session.Scenes(), session.Options().content_dir, nullptr,
                                                           std::move(options));
        ASSERT_TRUE(Start({"p7", "", ""}));
        Wait(20);
    }
    void TearDown() override {
        printing_.reset();
        HarborFixture::TearDown();
    }

    void WriteLetter(const std::string& body) {
        ASSERT_TRUE(Click("BtnWnNew"));
        Wait(50);
        ASSERT_TRUE(Type("EdtWrTo", "granny_05"));
        ASSERT_TRUE(Type("EdtWrSubject", "Hello"));
        ASSERT_TRUE(Click("PvtWrMessage"));
        ASSERT_TRUE(Keys(body));
        Wait(20);
    }

    harbor_test::TempDir data_;
    harbor::RecordingPrinter printer_;
    std::unique_ptr<harbor::PrintService> printing_;
};

TEST_F(PrintModuleTest, WithoutACurrentMessageTheSceneIsLeftAndNothingPrinted) {
    harbor_test::Req(30013).Name("ScPrPrint").PostTo(A("AppPort"));
    Wait(3000);
    EXPECT_TRUE(SceneIs("ScWnMain"));
    EXPECT_TRUE(printer_.Jobs().empty());
}

TEST_F(PrintModuleTest, ALongLetterTakesPagesOneAfterAnother) {
    std::string body;
    for (int n = 1; n <= 20; ++n) body += "line " + std::to_string(n) + "\n";
    WriteLetter(body);
    ASSERT_TRUE(Click("BtnWrPrint"));
    // The first page waits for the print request's delay; each further one for a painted view.
    Wait(900);
    EXPECT_EQ(printer_.PagesAdded(), 0u);
    Wait(200);
    EXPECT_EQ(printer_.PagesAdded(), 1u);
    EXPECT_TRUE(SceneIs("ScPrPrint"));
    Wait(10000);
    EXPECT_TRUE(SceneIs("ScWrWrite"));
    ASSERT_EQ(printer_.Jobs().size(), 1u);
    EXPECT_TRUE(printer_.Jobs()[0].finished);
    EXPECT_EQ(printer_.Jobs()[0].info.subject, "Hello");
    EXPECT_GE(printer_.Jobs()[0].pages.size(), 3u);
}

}  // namespace
