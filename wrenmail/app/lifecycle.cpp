#include "app/lifecycle.h"

#include <cstdlib>
#include <ctime>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "screens/common_dialog.h"
#include "clients/host_application.h"
#include "screens/screen_base.h"
#include "state/screen_handover.h"
#include "screens/screen_registry.h"
#include "state/service_handles.h"
#include "state/settings.h"
#include "state/user_identity.h"
#include "store/header_list_builder.h"
#include "store/message_header_list.h"
#include "store/message_import.h"
#include "transport/mail_transfer.h"
#include "wrenmail.h"

namespace wm {
namespace {

struct ScreenPort {
    const uint16_t* port;
    HxHandler handler;
};

// Attached at start and detached at stop, in this order.
const ScreenPort kScreenPorts[] = {
    {&atoms::ports::OrbitSignInPort, &PM_OrbitSignIn}, {&atoms::ports::WrenmailMainPort, &PM_WrenmailMain},
    {&atoms::ports::WritePort, &PM_WriteMessage},      {&atoms::ports::ReadPort, &PM_ReadMessage},
    {&atoms::ports::AddressPort, &PM_AddressBook},     {&atoms::ports::WNPrintPort, &PM_PrintMessage},
};

void AttachScreenPorts() {
    for (const ScreenPort& entry : kScreenPorts) {
        HxPortAttach(*entry.port, entry.handler);
    }
}

void DetachScreenPorts() {
    for (const ScreenPort& entry : kScreenPorts) {
        HxPortDetach(*entry.port, entry.handler);
    }
}

// A known player without a kite account goes straight to the mailbox, listed from the stored mail;
// everyone else signs in.
void ShowFirstScreen() {
    const UserIdentity& identity = Identity();
    if (identity.GetPlayerId()[0] != '\0' && identity.GetKiteId()[0] == '\0') {
        BuildHeaderList();
        ShowScreen(atoms::ports::ScWnMain);
    } else {
        ShowScreen(atoms::ports::ScCsSignIn);
    }
}

// The screens take the dialog and the hand-over state with them.
void DeleteScreens() {
    Screens().DeleteScreens();
    CommonDialog() = CommonDialogState{};
    Handover() = ScreenHandover{};
}

using StartStep = void (*)(const EDict* start);

const StartStep kStartSequence[] = {
    [](const EDict*) { std::srand(static_cast<unsigned>(std::time(nullptr))); },
    [](const EDict* start) { LoadIdentity(start); },
    [](const EDict*) { LoadSettings(); },
    [](const EDict*) { AttachScreenPorts(); },
    [](const EDict*) { OpenFileService(); },
    [](const EDict*) { Screens().CreateScreens(); },
    [](const EDict*) { Screens().NameScreens(); },
    [](const EDict*) { CreateHeaderList(); },
    [](const EDict*) { ImportWaitingMessages(); },
    [](const EDict*) { ShowFirstScreen(); },
};

using StopStep = void (*)();

const StopStep kStopSequence[] = {
    &DetachScreenPorts,
    &DeleteScreens,
    &DeleteHeaderList,
    &CloseFileService,
    &CloseMailManager,
    &ReleaseConnection,
};

struct ModuleAction {
    const uint16_t* type;
    void (*run)();
};

const ModuleAction kModuleActions[] = {
    {&atoms::actions::aWrenmailGetMail, &FetchNewMail},
    {&atoms::actions::aWrenmailSendMail, &SendOutbox},
    {&atoms::actions::aOnMailUploaded, &AnnounceFetch},
};

}  // namespace

void HandleLifecycle(EDict* record) {
    const uint16_t type = EDictGetType(record);
    if (type == code::kHostQuery) {
        AnswerCloseQuestion(record);
    } else if (type == code::kEntered) {
        StartModule(record);
    } else if (type == code::kLeft) {
        StopModule();
    }
    RunModuleAction(type);
}

void AnswerCloseQuestion(EDict* record) {
    EDictPutLong(record, atoms::AOK, 0);
    QueueQuitConfirmation();
}

void StartModule(const EDict* start) {
    if (ModuleRunning()) {
        return;
    }
    for (StartStep step : kStartSequence) {
        step(start);
    }
}

void StopModule() {
    for (StopStep step : kStopSequence) {
        step();
    }
}

bool ModuleRunning() {
    return Screens().Count() > 0;
}

void RunModuleAction(uint16_t type) {
    for (const ModuleAction& action : kModuleActions) {
        if (type == *action.type) {
            action.run();
        }
    }
}

}  // namespace wm
