#include "services/harbor_port_service.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cassert>
#include <thread>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "base/trace_log.h"

extern char** environ;

namespace harbor {

HarborPortService* HarborPortService::live_ = nullptr;

HarborPortService::HarborPortService(Application& application, AddressOpener opener)
    : application_(application), opener_(std::move(opener)), port_(AtomOf("HarborPort")) {
    assert(live_ == nullptr && "one HarborPort service at a time");
    live_ = this;
    HxPortAttach(port_, &HarborPortService::Handle);
}

HarborPortService::~HarborPortService() {
    HxPortDetach(port_, &HarborPortService::Handle);
    live_ = nullptr;
}

bool HarborPortService::Handle(EDict* record) {
    if (live_ != nullptr && record != nullptr) live_->OnRecord(*record);
    return false;
}

void HarborPortService::OnRecord(const EDict& record) {
    switch (EDictGetType(&record)) {
        case code::kStop:
            application_.End(EndReason::ExitRequested);
            break;
        case code::kClose:
            if (application_.Quitting()) {
                application_.End(EndReason::QuitConfirmed);
            } else {
                TraceNote("HarborPort", "30003 without a close request: ignored");
            }
            break;
        case code::kOpenAddress: {
            const char* text = EDictGetText(&record, AtomOf("STRING"));
            std::string address = text != nullptr ? text : "";
            opened_.push_back(address);
            if (opener_) {
                opener_(address);
            } else {
                TraceNote("HarborPort", "headless: not opening \"" + address + "\"");
            }
            break;
        }
        default:
            break;
    }
}

void OpenWithDesktop(const std::string& address) {
    if (address.empty()) {
        TraceNote("HarborPort", "no address to open");
        return;
    }
    std::string program = "xdg-open";
    std::string argument = address;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    int failed = posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ);
    if (failed != 0) {
        TraceNote("HarborPort", "cannot start xdg-open for \"" + address + "\"");
        return;
    }
    // Reaped on the side: a browser started by xdg-open may keep it waiting, and the window must
    // not freeze meanwhile.
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
}

}  // namespace harbor
