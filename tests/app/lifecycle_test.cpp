#include "clients/host_application.h"
#include "controls/control_base.h"
#include "../controls/request_fields.h"
#include "module_test.h"

namespace {

using LifecycleTest = ModuleTest;

// The module's ports with their entries; the first five are the screens'.
const std::pair<uint16_t, HxHandler> kEntries[] = {
    {atoms::ports::OrbitSignInPort, &PM_OrbitSignIn}, {atoms::ports::WrenmailMainPort, &PM_WrenmailMain},
    {atoms::ports::WritePort, &PM_WriteMessage},      {atoms::ports::ReadPort, &PM_ReadMessage},
    {atoms::ports::AddressPort, &PM_AddressBook},     {atoms::ports::WNPrintPort, &PM_PrintMessage}};

// The screens' entries answer only between start and stop.
int Answering() {
    int answers = 0;
    for (int i = 0; i < 5; ++i) {
        EDict click = Record(code::kClick);
        answers += kEntries[i].second(&click) ? 1 : 0;
    }
    return answers;
}

TEST_F(LifecycleTest, StopDetachesTheSixPortsAndForgetsTheScreens) {
    EXPECT_EQ(Answering(), 0);
    Start("Robin");
    EXPECT_EQ(Answering(), 5);
    // Each slot's screen is the one the screen tests take from it; each names its help sound.
    ASSERT_EQ(wm::Screens().Count(), 5);
    for (int32_t slot = 0; slot < 5; ++slot) EXPECT_NE(wm::Screens().At(slot)->HelpSound(), 0) << slot;
    for (const auto& [port, handler] : kEntries) EXPECT_TRUE(Attached(port, handler)) << port;
    EXPECT_TRUE(Attached(atoms::ports::ConnectPort, &PM_Connection));
    Stop();
    for (const auto& [port, handler] : kEntries) EXPECT_FALSE(Attached(port, handler)) << port;
    EXPECT_FALSE(Attached(atoms::ports::ConnectPort, &PM_Connection));
    EXPECT_EQ(wm::CurrentScreen(), nullptr);
    EXPECT_EQ(wm::Screens().Count(), 0);
    EXPECT_FALSE(wm::ModuleRunning());
    EXPECT_EQ(Answering(), 0);
    Stop();  // a repeated stop finds nothing to delete
}

TEST_F(LifecycleTest, StopClosesTheMailManagerAndReleasesTheConnection) {
    Start(nullptr);
    Stop();
    EXPECT_TRUE(host_.Requests(atoms::mail::MailPort).empty());
    EXPECT_TRUE(host_.Requests(atoms::mail::RASPort).empty());
    Start(nullptr);
    wm::Services().mail_manager = 55;
    wm::Services().connection = 77;
    Stop();
    const auto mail = host_.Requests(atoms::mail::MailPort, code::kClose);
    EXPECT_EQ(Deliveries(mail), Lines{"send 0"});
    EXPECT_EQ(Longs(mail, atoms::mail::Manager), Numbers{55});
    EXPECT_EQ(wm::Services().mail_manager, 0u);
    const auto line = host_.Requests(atoms::mail::RASPort, code::kClose);
    EXPECT_EQ(Deliveries(line), Lines{"send 0"});
    EXPECT_EQ(Longs(line, atoms::mail::Connection), Numbers{77});
    EXPECT_EQ(EDictKeyCount(&line[0].record), 1);
}

TEST_F(LifecycleTest, CloseQuestionAnswersAokAndConfirmsExactlyOnceAfterTwentyTicks) {
    EDict question = Record(code::kHostQuery);
    EDictPutLong(&question, atoms::AOK, 9);
    EXPECT_FALSE(PM_Main(&question));
    EXPECT_TRUE(EDictHasKey(&question, atoms::AOK));
    EXPECT_EQ(EDictGetLong(&question, atoms::AOK), 0);

    const uint16_t harbor = atoms::shell::HarborPort;
    for (int i = 0; i < 19; ++i) Tick();
    EXPECT_TRUE(host_.Delivered(harbor).empty());
    Tick();
    const auto confirmations = host_.Delivered(harbor);
    ASSERT_EQ(confirmations.size(), 1u);
    EXPECT_EQ(EDictGetType(&confirmations[0].record), code::kClose);
    EXPECT_EQ(EDictKeyCount(&confirmations[0].record), 0);
    for (int i = 0; i < 40; ++i) Tick();
    EXPECT_EQ(host_.Delivered(harbor).size(), 1u);
}

TEST_F(LifecycleTest, AStartWhileRunningAndOtherMessagesChangeNothing) {
    Start("Robin", "robin7");
    wm::PMScreenBase* current = wm::CurrentScreen();
    wm::PMScreenBase* main = wm::Screens().At(wm::kMainSlot);
    host_.Forget();
    Start(nullptr);
    EXPECT_EQ(wm::Screens().At(wm::kMainSlot), main);
    EXPECT_STREQ(wm::Identity().GetPlayerId(), "Robin");
    // aWrenmailGetMail and aWrenmailSendMail run the mail transfers (tests/transport).
    for (uint16_t type : {code::kClick, code::kTick, atoms::actions::aOnMailDownloaded,
                          atoms::actions::aWrenmailVerifyUser, atoms::actions::aWrenmailUpdateMessages}) {
        EDict record = Record(type);
        EXPECT_FALSE(PM_Main(&record));
    }
    EXPECT_EQ(wm::CurrentScreen(), current);
    EXPECT_EQ(wm::Screens().Count(), 5);
    EXPECT_FALSE(wm::CommonDialog().up);
    EXPECT_TRUE(host_.Requests(0).empty());
}

// A host may stop the module from inside a send a screen makes: the screen finishes its call and
// is deleted after it, with the list it built meanwhile.
TEST_F(LifecycleTest, AStopDeliveredWhileAScreenEntersDeletesTheScreenAfterItsCall) {
    Start("Robin");
    static int stops = 0;
    stops = 0;
    const HxHandler stopFromTheScene = [](EDict*) {
        if (stops++ == 0) {
            EDict stop = Record(code::kLeft);
            PM_Main(&stop);
        }
        return false;
    };
    HxPortAttach(atoms::ports::ScWnMain, stopFromTheScene);
    Deliver(atoms::ports::WrenmailMainPort, code::kEntered);
    HxPortDetach(atoms::ports::ScWnMain, stopFromTheScene);
    EXPECT_GT(stops, 1) << "the screen went on sending after the stop";
    EXPECT_EQ(wm::Screens().Count(), 0);
    EXPECT_EQ(wm::PMControlBase::LiveCount(), 0u);
}

}  // namespace
