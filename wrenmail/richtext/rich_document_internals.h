// The document's own steps on its run list, shared by its source files: finding the slice that
// holds a position, and placing a new element there.
#ifndef WRENMAIL_RICHTEXT_RICH_DOCUMENT_INTERNALS_H
#define WRENMAIL_RICHTEXT_RICH_DOCUMENT_INTERNALS_H

#include <cstdint>

#include "richtext/rich_document.h"

namespace wm {

struct RichDocumentInternals {
    // The slice that holds a position, with the positions it covers.
    struct Holder {
        RichSlice* slice = nullptr;
        uint32_t first = 0;
        uint32_t last = 0;
    };

    // Where a new element goes, decided before anything changes. Exactly one of: grow an
    // existing slice in place; link a fresh slice after `after` (null: at the head); split
    // `holder` at `split_at` elements and link a fresh slice between the two parts.
    struct Placement {
        Holder holder;
        RichSlice* grow = nullptr;
        RichSlice* grow_from = nullptr;  // the free slice directly behind `grow`
        RichNode* after = nullptr;
        bool split = false;
        uint32_t split_at = 0;
        // Nodes taken before any change, so that a failed allocation leaves the text as it was.
        RichSlice* fresh = nullptr;
        RichSlice* tail = nullptr;
    };

    static Holder FindSlice(const RichDocument& d, uint32_t position);
    static FontRun* FindFontBefore(RichNode* node, RichKind kind);

    // Placement of one element: plan (may fail for memory), then apply (cannot fail).
    static bool PlanPlacement(RichDocument& d, uint32_t position, RichKind slice_kind, Placement* plan);
    static void CancelPlacement(Placement* plan);
    // Returns the slice that received the element; its last element is the new one.
    static RichSlice* ApplyPlacement(RichDocument& d, Placement* plan);
    static RichSlice* SplitSlice(RichDocument& d, RichSlice* slice, uint32_t keep, RichSlice* tail);
};

using Internals = RichDocumentInternals;

}  // namespace wm

#endif
