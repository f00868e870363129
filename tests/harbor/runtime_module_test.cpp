// Loading, starting, stopping and unloading modules, with the stand-in module (the real one is
// started and stopped by every session in tests/e2e).
#include <gtest/gtest.h>

#include "harbor_fixture.h"
#include "harbor_test_support.h"
#include "base/atoms.h"
#include "runtime/module_host.h"
#include "runtime/module_library.h"

using harbor::Identity;
using harbor::ModuleHost;
using harbor::ModuleLibrary;
using harbor_test::A;

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

class ModuleSessionTest : public HarborFixture {
protected:
    ModuleSessionTest() {
        harbor_test::WriteFakeContent(content_.Path());
        Options().module_path = FAKE_MODULE_PATH;
        Options().content_dir = content_.Path();
    }

    harbor_test::TempDir content_;
    harbor_test::FakeModule fake_;
};

TEST_F(ModuleSessionTest, StartSendsTheIdentityToPmAndStopSends30041) {
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

TEST_F(ModuleSessionTest, UnloadDetachesTheTickHandlerTheModuleLeftAttached) {
    ASSERT_TRUE(Start());
    Wait(160);
    EXPECT_EQ(fake_.Ticks(), 10);
    Stop();
    Wait(160);
    EXPECT_EQ(fake_.Ticks(), 10);
}

TEST_F(ModuleSessionTest, StartIsRefusedTwiceAndAfterTheEnd) {
    ASSERT_TRUE(Start());
    EXPECT_NE(GetDriver().Start({}), "");
    Stop();
    EXPECT_NE(GetDriver().Start({}), "");
    EXPECT_EQ(fake_.TypesOn(A("PM")), (std::vector<uint16_t>{30032, 30041}));
}

}  // namespace
