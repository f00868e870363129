#include "services/application.h"

namespace harbor {

std::string Describe(EndReason reason) {
    switch (reason) {
        case EndReason::None: return "running";
        case EndReason::ExitRequested: return "the module ended the application";
        case EndReason::QuitConfirmed: return "the module confirmed the close request";
        case EndReason::GracePeriodOver: return "the module did not confirm the close request within 2 s";
        case EndReason::Stopped: return "the module was stopped";
    }
    return "unknown";
}

void Application::End(EndReason reason) {
    if (reason_ == EndReason::None) reason_ = reason;
}

void Application::CheckDeadline(uint64_t now) {
    if (Quitting() && now >= *quit_deadline_) End(EndReason::GracePeriodOver);
}

}  // namespace harbor
