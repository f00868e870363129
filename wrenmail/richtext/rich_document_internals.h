// The document's editing steps, shared by its source files: the block store (blocks and free
// space), placement and removal of elements in the run list, and the image records.
#ifndef WRENMAIL_RICHTEXT_RICH_INTERNALS_H
#define WRENMAIL_RICHTEXT_RICH_INTERNALS_H

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

    // Block store.
    static NodeList& FreeList(RichDocument& d, RichKind slice_kind);
    static bool EnsureFreeSpace(RichDocument& d, RichKind slice_kind);
    static RichSlice* AdjacentFree(RichDocument& d, const RichSlice* slice);
    static void TakeFirstFree(RichDocument& d, RichSlice* target);
    static void GrowInPlace(RichDocument& d, RichSlice* slice, RichSlice* free_slice);
    static void GiveToFree(RichDocument& d, RichSlice* part);
    static void FreeAll(RichDocument& d);
    static void DeleteNode(RichNode* node);

    // Placement of one element: plan (may fail for memory), then apply (cannot fail).
    static bool PlanPlacement(RichDocument& d, uint32_t position, RichKind slice_kind, Placement* plan);
    static void CancelPlacement(Placement* plan);
    // Returns the slice that received the element; its last element is the new one.
    static RichSlice* ApplyPlacement(RichDocument& d, Placement* plan);
    // Remembers the slice that took the element at `position` as the lookup hint.
    static void SetHint(RichDocument& d, RichSlice* slice, uint32_t position);
    static RichSlice* SplitSlice(RichDocument& d, RichSlice* slice, uint32_t keep, RichSlice* tail);

    // Removal.
    static void ReleaseSlots(RichSlice* part);

    // Image records.
    static ImageInfo* FindRecord(const RichDocument& d, const char* id_name);
    static ImageInfo* NewRecord(const char* id_name, const char* name_text, uint16_t width, uint16_t height);
    static void LinkRecord(RichDocument& d, ImageInfo* record);

    // Body texts.
    static void Load(RichDocument& d, const char* text, bool tags);
    static char* ReplaceBuffer(RichDocument& d, uint64_t size);
};

using Internals = RichDocumentInternals;

// A copy of the text in a new array, or null when memory runs out. Null copies as "".
char* CopyText(const char* text, uint32_t* length);

}  // namespace wm

#endif
