// The application's life with the stand-in module (the real one is started and stopped by every
// session in tests/e2e): loading, starting, stopping and unloading it; close requests on
// HarborPort, their grace period and ending; the launcher's plug-in data store and the identity
// erased after start.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/atoms.h"
#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "request_builder.h"
#include "runtime/module_host.h"
#include "runtime/module_library.h"
#include "services/plugin_data_service.h"

using harbor::EndReason;
using harbor::Identity;
using harbor::ModuleLibrary;
using harbor_test::A;
using harbor_test::Req;

namespace {

std::string NameOf(const EDict& record, const char* key) {
    const char* text = DaNameGetString(EDictGetShort(&record, A(key)));
    return text != nullptr ? text : "";
}

TEST(ModuleLibraryTest, ErrorsNameThePathAndTheCause) {
    harbor_test::TempDir dir;
    harbor_test::WriteFile(dir.Path() / "text.so", "not a library");
    const std::pair<std::filesystem::path, std::vector<std::string>> cases[] = {
        {dir.Path() / "absent.so", {(dir.Path() / "absent.so").string(), "no such file"}},
        {dir.Path() / "text.so", {"text.so", "cannot load the mail module"}},
        {HXMSG_LIBRARY_PATH, {"no PM_Main"}},  // loads, but is no module
        {dir.Path(), {"not a regular file"}},
    };
    for (const auto& [file, parts] : cases) {
        std::string error;
        EXPECT_EQ(ModuleLibrary::Open(file, error), nullptr) << file;
        for (const std::string& part : parts) EXPECT_NE(error.find(part), std::string::npos) << error;
    }
}

TEST(ModuleHostTest, StartMessageHoldsOnlyTheGivenValuesAsAtomsOfTheirTexts) {
    EDict all = StartMessage(Identity{"ann", "kite_ann", "s3cret"});
    EXPECT_EQ(EDictGetType(&all), 30032);
    ASSERT_EQ(EDictKeyCount(&all), 3);
    uint16_t type = 0;
    EXPECT_EQ(EDictKeyAt(&all, 0, &type), A("WNPlayerID"));
    EXPECT_EQ(type, EDictShort);
    EXPECT_EQ(EDictKeyAt(&all, 1, nullptr), A("WNOrbitID"));
    EXPECT_EQ(EDictKeyAt(&all, 2, nullptr), A("WNPassword"));

    EDict kite_only = StartMessage(Identity{std::nullopt, "kite_bo", std::nullopt});
    EXPECT_EQ(EDictKeyCount(&kite_only), 1);
    EXPECT_EQ(NameOf(kite_only, "WNOrbitID"), "kite_bo");
    EDict none = StartMessage(Identity{});
    EXPECT_EQ(EDictKeyCount(&none), 0);
}

class ApplicationTest : public HarborFixture {
protected:
    ApplicationTest() {
        harbor_test::WriteFakeContent(content_.Path());
        Options().module_path = FAKE_MODULE_PATH;
        Options().content_dir = content_.Path();
    }

    EndReason Reason() { return GetSession().App().Reason(); }

    harbor_test::TempDir content_;
    harbor_test::FakeModule fake_;
};

TEST_F(ApplicationTest, StartSendsTheIdentityToPmAndStopSends30041) {
    Options().identity = Identity{"ann", "kite_ann", std::nullopt};
    ASSERT_TRUE(Start(Identity{std::nullopt, std::nullopt, "pw"}));  // the script's value joins in
    ASSERT_GE(fake_.Count(), 1);
    const EDict& start = fake_.Call(0);
    EXPECT_EQ(fake_.Port(0), A("PM"));
    EXPECT_EQ(EDictGetType(&start), 30032);
    EXPECT_EQ(NameOf(start, "WNPlayerID"), "ann");
    EXPECT_EQ(NameOf(start, "WNOrbitID"), "kite_ann");
    EXPECT_EQ(NameOf(start, "WNPassword"), "pw");
    EXPECT_TRUE(GetSession().Running());

    Stop();
    EXPECT_EQ(fake_.TypesOn(A("PM")), (std::vector<uint16_t>{30032, 30041}));
    EXPECT_FALSE(GetSession().Module().Loaded());
    EDict late = harbor_test::Record(30032);
    HxPortSend(A("PM"), &late);  // nobody listens on PM any more
    EXPECT_EQ(fake_.TypesOn(A("PM")).size(), 2u);
    EXPECT_TRUE(HasEnded());
}

TEST_F(ApplicationTest, UnloadDetachesTheTickHandlerTheModuleLeftAttached) {
    ASSERT_TRUE(Start());
    Wait(160);
    EXPECT_EQ(fake_.Ticks(), 10);
    Stop();
    Wait(160);
    EXPECT_EQ(fake_.Ticks(), 10);
}

TEST_F(ApplicationTest, StartIsRefusedTwiceAndAfterTheEnd) {
    ASSERT_TRUE(Start());
    EXPECT_NE(GetDriver().Start({}), "");
    Stop();
    EXPECT_NE(GetDriver().Start({}), "");
    EXPECT_EQ(fake_.TypesOn(A("PM")), (std::vector<uint16_t>{30032, 30041}));
}

TEST_F(ApplicationTest, QuitEndsWhenTheModulesConfirmationArrives) {
    ASSERT_TRUE(Start());
    Wait(100);
    Quit();
    EXPECT_EQ(Reason(), EndReason::QuitConfirmed);
    EXPECT_EQ(HxNow(), 100u + 20u * 16u);  // the module's 30003 comes 20 ticks later
    EXPECT_EQ(fake_.TypesOn(A("PM")), (std::vector<uint16_t>{30032, 30026, 30041}));
    EXPECT_FALSE(GetSession().Module().Loaded());
}

TEST_F(ApplicationTest, QuitEndsAfterTheGracePeriodWithoutConfirmation) {
    fake_.ConfirmQuit(false);
    ASSERT_TRUE(Start());
    Wait(100);
    Quit();
    EXPECT_EQ(Reason(), EndReason::GracePeriodOver);
    EXPECT_EQ(HxNow(), 100u + harbor::kQuitGraceMs);
    EXPECT_EQ(fake_.TypesOn(A("PM")).back(), 30041);
}

TEST_F(ApplicationTest, A30003WithoutCloseRequestIsIgnored) {
    ASSERT_TRUE(Start());
    Req(30003).PostTo(A("HarborPort"));
    Wait(50);
    EXPECT_FALSE(GetSession().Ended());
    EXPECT_TRUE(GetSession().Running());
}

TEST_F(ApplicationTest, A30059OnHarborPortEndsAndStopsTheModuleAfterTheDelivery) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Click("BtnFkExit"));  // the module posts 30059 to HarborPort
    EXPECT_EQ(Reason(), EndReason::ExitRequested);
    EXPECT_EQ(fake_.TypesOn(A("PM")).back(), 30041);
    EXPECT_FALSE(GetSession().Module().Loaded());
    EXPECT_NE(GetDriver().Click("BtnFkAsk"), "");  // nothing to click into any more
}

TEST_F(ApplicationTest, WaitStopsAtTheEnd) {
    ASSERT_TRUE(Start());
    Req(30059).PostTo(A("HarborPort"), 300);
    Wait(1000);
    EXPECT_EQ(Reason(), EndReason::ExitRequested);
    EXPECT_EQ(HxNow(), 300u);
}

int late_deliveries = 0;
bool HXCALL CountLate(EDict*) {
    ++late_deliveries;
    return false;
}

// Pending posts may carry texts that point into the unloaded module.
TEST_F(ApplicationTest, NothingIsDeliveredAfterTheEnd) {
    ASSERT_TRUE(Start());
    Stop();
    late_deliveries = 0;
    HxPortAttach(A("TestLatePort"), &CountLate);
    Req(30035).PostTo(A("TestLatePort"));
    Wait(100);
    EXPECT_EQ(late_deliveries, 0);
}

TEST_F(ApplicationTest, OpenAddressIsOnlyNotedWhenHeadless) {
    CaptureTrace();
    ASSERT_TRUE(Start());
    Req(30009).Text("STRING", "https://wrenmail.example/parents").SendTo(A("HarborPort"));
    EXPECT_EQ(GetSession().HarborPort().OpenedAddresses(),
              std::vector<std::string>{"https://wrenmail.example/parents"});
    const std::vector<std::string> lines = TraceLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("headless: not opening \"https://wrenmail.example/parents\"") != std::string::npos;
    }));
}

TEST_F(ApplicationTest, TheModuleErasesTheIdentityFromThePluginDataStore) {
    Options().identity = Identity{"ann", "kite_ann", "pw"};
    GetSession();
    ASSERT_TRUE(Start());
    const EDict& store = GetSession().PluginData().Record();
    EXPECT_EQ(EDictKeyCount(&store), 3);
    for (const char* key : {"WNPlayerID", "WNOrbitID", "WNPassword"}) {
        EXPECT_TRUE(EDictHasKey(&store, A(key))) << key;
        EXPECT_EQ(EDictGetShort(&store, A(key)), 0) << key;
    }
}

class PluginDataTest : public ::testing::Test {
protected:
    void SetUp() override { HxReset(); }
    void TearDown() override { HxReset(); }
};

TEST_F(PluginDataTest, MergeOverwritesAddsAndKeepsTheRest) {
    harbor::PluginDataService store;
    store.Reset(Identity{"ann", "kite_ann", std::nullopt});
    EDict data = harbor_test::Record(0);
    EDictPutShort(&data, A("WNOrbitID"), A("kite_bo"));
    EDictPutLong(&data, A("Volume"), -3);
    Req(30052).Pointer("PMDATA", &data).SendTo(A("AppPort"));
    const EDict& r = store.Record();
    EXPECT_EQ(EDictGetShort(&r, A("WNPlayerID")), A("ann"));
    EXPECT_EQ(EDictGetShort(&r, A("WNOrbitID")), A("kite_bo"));
    EXPECT_EQ(EDictGetLong(&r, A("Volume")), -3);
    EXPECT_FALSE(EDictHasKey(&r, A("WNPassword")));

    // A short overwritten in place leaves its neighbours alone.
    EDict zero = harbor_test::Record(0);
    EDictPutShort(&zero, A("WNPlayerID"), 0);
    store.Merge(zero);
    EXPECT_EQ(EDictGetShort(&r, A("WNPlayerID")), 0);
    EXPECT_EQ(EDictGetShort(&r, A("WNOrbitID")), A("kite_bo"));
}

TEST_F(PluginDataTest, RecordsWithoutAUsablePmdataChangeNothing) {
    harbor::PluginDataService store;
    store.Reset(Identity{"ann", std::nullopt, std::nullopt});
    Req(30052).Pointer("PMDATA", nullptr).SendTo(A("AppPort"));
    Req(30052).Name("WNPlayerID").SendTo(A("AppPort"));
    EXPECT_EQ(EDictKeyCount(&store.Record()), 1);
    EXPECT_EQ(EDictGetShort(&store.Record(), A("WNPlayerID")), A("ann"));
}

}  // namespace
