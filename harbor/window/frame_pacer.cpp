#include "window/frame_pacer.h"

#include <algorithm>

namespace harbor {

StageSignature SignatureOf(const SceneService& scenes) {
    StageSignature signature;
    for (uint16_t atom : scenes.SceneStack()) {
        const SceneState* state = scenes.Scene(atom);
        signature.emplace_back(atom, state != nullptr ? state->Revision() : 0);
    }
    return signature;
}

Motion MotionOf(const SceneService& scenes) {
    bool caret = false;
    for (uint16_t atom : scenes.SceneStack()) {
        const SceneState* state = scenes.Scene(atom);
        if (state == nullptr) continue;
        for (const auto& sprite : state->Sprites()) {
            if (sprite->visible && sprite->kind == SpriteKind::Animation) return Motion::Animating;
        }
        const Sprite* focused = state->Focus() != 0 ? state->Find(state->Focus()) : nullptr;
        caret = caret || (focused != nullptr && focused->visible && focused->IsEdit());
    }
    return caret ? Motion::Caret : Motion::Still;
}

std::optional<uint32_t> FramePacer::Interval(Motion motion) {
    switch (motion) {
        case Motion::Animating: return kAnimationFrameMs;
        case Motion::Caret: return kCaretFrameMs;
        case Motion::Still: return std::nullopt;
    }
    return std::nullopt;
}

bool FramePacer::Due(const StageSignature& signature, Motion motion, uint64_t now) const {
    if (invalid_ || signature != painted_) return true;
    const std::optional<uint32_t> interval = Interval(motion);
    return interval && now >= painted_at_ + *interval;
}

void FramePacer::Painted(StageSignature signature, uint64_t now) {
    painted_ = std::move(signature);
    painted_at_ = now;
    invalid_ = false;
}

uint32_t FramePacer::WaitMs(Motion motion, uint64_t now, int64_t next_post_ms) const {
    uint64_t wait = kLongestWaitMs;
    if (next_post_ms >= 0) wait = std::min<uint64_t>(wait, static_cast<uint64_t>(next_post_ms));
    if (const std::optional<uint32_t> interval = Interval(motion)) {
        const uint64_t due = painted_at_ + *interval;
        wait = std::min<uint64_t>(wait, due > now ? due - now : 0);
    }
    return static_cast<uint32_t>(wait);
}

}  // namespace harbor
