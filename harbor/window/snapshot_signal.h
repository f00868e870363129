// A debugging aid: SIGUSR1 asks the window to write what it shows to a PNG file,
// $TMPDIR/harbor-window-PID.png (/tmp without TMPDIR).
#ifndef HARBOR_WINDOW_SNAPSHOT_SIGNAL_H
#define HARBOR_WINDOW_SNAPSHOT_SIGNAL_H

#include <filesystem>

namespace harbor {

// Installs the handler; the previous one comes back with the guard's end.
class SnapshotSignal {
public:
    SnapshotSignal();
    ~SnapshotSignal();
    SnapshotSignal(const SnapshotSignal&) = delete;
    SnapshotSignal& operator=(const SnapshotSignal&) = delete;

    // True once for each signal that arrived since the last call (several may merge into one).
    bool Take();
    static std::filesystem::path File();
};

}  // namespace harbor

#endif
