// The application's life: running, closing (the module was asked and has a grace period to
// confirm), ended. Services only mark the end; whoever runs the clock stops the module afterwards,
// never from inside a delivery that the module itself is running.
#ifndef HARBOR_SERVICES_APPLICATION_H
#define HARBOR_SERVICES_APPLICATION_H

#include <cstdint>
#include <optional>
#include <string>

namespace harbor {

enum class EndReason {
    None,
    ExitRequested,    // 30059 on HarborPort
    QuitConfirmed,    // the module's 30003 after a close request
    GracePeriodOver,  // the module did not confirm in time
    Stopped,          // the host stopped the module outright
};

std::string Describe(EndReason reason);

// How long the module has to confirm a close request, in clock milliseconds.
inline constexpr uint64_t kQuitGraceMs = 2000;

class Application {
public:
    bool Ended() const { return reason_ != EndReason::None; }
    EndReason Reason() const { return reason_; }
    // The first end wins; later ones change nothing.
    void End(EndReason reason);

    // A close request went to the module at `now`.
    void BeginQuit(uint64_t now) { quit_deadline_ = now + kQuitGraceMs; }
    bool Quitting() const { return quit_deadline_.has_value() && !Ended(); }
    std::optional<uint64_t> QuitDeadline() const { return quit_deadline_; }
    // Ends the application when a close request's grace period is over at `now`.
    void CheckDeadline(uint64_t now);

private:
    EndReason reason_ = EndReason::None;
    std::optional<uint64_t> quit_deadline_;
};

}  // namespace harbor

#endif
