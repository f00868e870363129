#include "clients/host_application.h"

#include "hxmsg.h"
#include "messaging/delayed_post.h"
#include "message_codes.h"
#include "messaging/request_builders.h"

WM_DEFINE_ATOM(shell, HarborPort)

namespace wm {

void RequestApplicationEnd() {
    PostAction(atoms::shell::HarborPort, code::kStop, 0);
}

void OpenWebAddress(const char* address) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kOpenAddress);
    EDictPutText(&record, atoms::STRING, address);
    HxPortSend(atoms::shell::HarborPort, &record);
}

void QueueQuitConfirmation() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kClose);
    DelayedPost(atoms::shell::HarborPort, &record, kQuitConfirmTicks);
}

}  // namespace wm
