#include "messaging/delayed_post.h"

#include <cstring>
#include <new>

#include "hxmsg.h"
#include "messaging/intrusive_list.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "wrenmail.h"

namespace wm {
namespace {

// Frees what is still queued when the module is unloaded.
class PendingPostList : public IntrusiveList<PendingPost> {
public:
    PendingPostList() = default;
    PendingPostList(const PendingPostList&) = delete;
    PendingPostList& operator=(const PendingPostList&) = delete;
    ~PendingPostList() {
        while (PendingPost* node = Head()) {
            Unlink(node);
            delete node;
        }
    }
};

PendingPostList g_pending;
// The tick handler is attached by the first DelayedPost and stays attached.
bool g_attachPending = true;

void AttachOnce() {
    if (g_attachPending) {
        g_attachPending = false;
        HxPortAttach(atoms::TimerPortTick, &PostMessages);
    }
}

}  // namespace

void DelayedPost(uint16_t port, const EDict* record, int32_t ticks) {
    AttachOnce();
    if (record == nullptr) {
        return;
    }
    auto* node = new (std::nothrow) PendingPost;
    if (node == nullptr) {
        return;
    }
    std::memcpy(&node->record, record, sizeof(EDict));
    node->port = port;
    node->ticks = ticks;
    g_pending.Append(node);
}

std::size_t PendingPostCount() {
    return g_pending.Size();
}

}  // namespace wm

HX_API bool HXCALL PostMessages(EDict* record) {
    if (record == nullptr || EDictGetType(record) != code::kTick) {
        return true;
    }
    wm::PendingPost* node = wm::g_pending.Head();
    while (node != nullptr) {
        wm::PendingPost* following = node->next;
        --node->ticks;
        if (node->ticks <= 0) {
            HxPortPost(node->port, &node->record, 0);
            wm::g_pending.Unlink(node);
            delete node;
        }
        node = following;
    }
    return true;
}
