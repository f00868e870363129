// When the window paints and how long its loop may sleep. The stage is painted again when a
// scene on the stack changed (every change raises its revision), when the window asks (exposed,
// resized), and on a timer while something on it moves: about 60 times a second while an
// animation is visible, often enough for the caret while an edit field has the focus.
#ifndef HARBOR_WINDOW_FRAME_PACER_H
#define HARBOR_WINDOW_FRAME_PACER_H

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "scene/scene_service.h"

namespace harbor {

enum class Motion { Still, Caret, Animating };

// The scenes on the stack, bottom first, with their revisions.
using StageSignature = std::vector<std::pair<uint16_t, uint64_t>>;

StageSignature SignatureOf(const SceneService& scenes);
Motion MotionOf(const SceneService& scenes);

inline constexpr uint32_t kAnimationFrameMs = 16;
inline constexpr uint32_t kCaretFrameMs = 100;
// The longest sleep: the loop also looks at signals and the close deadline.
inline constexpr uint32_t kLongestWaitMs = 250;

class FramePacer {
public:
    void Invalidate() { invalid_ = true; }
    // Whether to paint at `now` for this stage.
    bool Due(const StageSignature& signature, Motion motion, uint64_t now) const;
    void Painted(StageSignature signature, uint64_t now);
    // How long the loop may wait for input at `now`: until the next post falls due
    // (`next_post_ms` as HxTimeToNextPost gives it, -1 for none) or the next frame.
    uint32_t WaitMs(Motion motion, uint64_t now, int64_t next_post_ms) const;

private:
    static std::optional<uint32_t> Interval(Motion motion);

    bool invalid_ = true;
    StageSignature painted_;
    uint64_t painted_at_ = 0;
};

}  // namespace harbor

#endif
