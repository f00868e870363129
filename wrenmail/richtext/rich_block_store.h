// Blocks of 254 elements and the free space inside them. Blocks are only ever added: space given
// back goes to a free list, and every block is freed at once when the document is reset.
#ifndef WRENMAIL_RICHTEXT_RICH_BLOCK_STORE_H
#define WRENMAIL_RICHTEXT_RICH_BLOCK_STORE_H

#include "richtext/rich_document.h"

namespace wm {

struct RichBlockStore {
    static NodeList& FreeList(RichDocument& d, RichKind slice_kind);
    // Allocates a block when the free list of that kind is empty; false when memory runs out.
    static bool EnsureFreeSpace(RichDocument& d, RichKind slice_kind);
    // The free slice that starts directly behind the slice in its block, or null.
    static RichSlice* AdjacentFree(RichDocument& d, const RichSlice* slice);
    // A new slice takes the first free element of its kind.
    static void TakeFirstFree(RichDocument& d, RichSlice* target);
    static void GrowInPlace(RichDocument& d, RichSlice* slice, RichSlice* free_slice);
    // A part removed from the text joins its free list, in block-then-start order.
    static void GiveToFree(RichDocument& d, RichSlice* part);
    // Posts the deletion of every host instance in the slots and empties them.
    static void ReleaseSlots(RichSlice* part);
    static void FreeAll(RichDocument& d);
    static void DeleteNode(RichNode* node);
};

}  // namespace wm

#endif
