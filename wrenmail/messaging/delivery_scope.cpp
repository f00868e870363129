#include "messaging/delivery_scope.h"

#include <utility>
#include <vector>

namespace wm {
namespace {

struct Deliveries {
    int depth = 0;
    std::vector<std::function<void()>> pending;
};

Deliveries& State() {
    static Deliveries state;
    return state;
}

}  // namespace

DeliveryScope::DeliveryScope() { ++State().depth; }

DeliveryScope::~DeliveryScope() {
    Deliveries& state = State();
    if (state.depth > 1) {
        --state.depth;
        return;
    }
    // Still counted as inside while releasing: a release that reaches the host and is called back
    // queues what it deletes behind the ones already waiting.
    while (!state.pending.empty()) {
        std::function<void()> release = std::move(state.pending.front());
        state.pending.erase(state.pending.begin());
        release();
    }
    --state.depth;
}

void ReleaseAfterDelivery(std::function<void()> release) {
    Deliveries& state = State();
    // Depth 1 is the handler that asked: nothing of the module runs below it.
    if (state.depth <= 1) {
        release();
    } else {
        state.pending.push_back(std::move(release));
    }
}

}  // namespace wm
