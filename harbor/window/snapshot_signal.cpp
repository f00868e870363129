#include "window/snapshot_signal.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

namespace harbor {

namespace {

volatile std::sig_atomic_t requested = 0;
struct sigaction previous {};

void OnSignal(int) { requested = 1; }

}  // namespace

SnapshotSignal::SnapshotSignal() {
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGUSR1, &action, &previous);
}

SnapshotSignal::~SnapshotSignal() { sigaction(SIGUSR1, &previous, nullptr); }

bool SnapshotSignal::Take() {
    if (requested == 0) return false;
    requested = 0;
    return true;
}

std::filesystem::path SnapshotSignal::File() {
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path dir = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    return dir / ("harbor-window-" + std::to_string(::getpid()) + ".png");
}

}  // namespace harbor
