#include "richtext/rich_block_store.h"

#include <new>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

// Free space is ordered by block (allocation order), then by start.
bool OrderedBefore(const RichSlice* a, const RichSlice* b) {
    const uint32_t block_a = a->Serial();
    const uint32_t block_b = b->Serial();
    return block_a != block_b ? block_a < block_b : a->start < b->start;
}

RichSlice* NewFreeSlice(RichKind kind, RichNode* block) {
    auto* slice = new (std::nothrow) RichSlice(kind);
    if (slice != nullptr) {
        slice->block = block;
        slice->start = 0;
        slice->count = static_cast<uint8_t>(kBlockElements);
    }
    return slice;
}

void DeleteList(NodeList* list) {
    while (list->head != nullptr) {
        RichNode* node = list->head;
        list->Unlink(node);
        RichBlockStore::DeleteNode(node);
    }
}

}  // namespace

NodeList& RichBlockStore::FreeList(RichDocument& d, RichKind slice_kind) {
    return slice_kind == RichKind::TextSlice ? d.free_text_ : d.free_images_;
}

bool RichBlockStore::EnsureFreeSpace(RichDocument& d, RichKind slice_kind) {
    NodeList& free_list = FreeList(d, slice_kind);
    if (!free_list.Empty()) return true;
    RichNode* block = nullptr;
    if (slice_kind == RichKind::TextSlice) {
        block = new (std::nothrow) CharBlock(d.next_serial_);
    } else {
        block = new (std::nothrow) ImageBlock(d.next_serial_);
    }
    if (block == nullptr) return false;
    RichSlice* free_slice = NewFreeSlice(slice_kind, block);
    if (free_slice == nullptr) {
        DeleteNode(block);
        return false;
    }
    ++d.next_serial_;
    (slice_kind == RichKind::TextSlice ? d.char_blocks_ : d.image_blocks_).Append(block);
    free_list.Append(free_slice);
    return true;
}

RichSlice* RichBlockStore::AdjacentFree(RichDocument& d, const RichSlice* slice) {
    const uint32_t behind = static_cast<uint32_t>(slice->start) + slice->count;
    for (RichNode* node = FreeList(d, slice->kind).head; node != nullptr; node = node->next) {
        auto* free_slice = static_cast<RichSlice*>(node);
        if (free_slice->block == slice->block && free_slice->start == behind) return free_slice;
    }
    return nullptr;
}

namespace {

// One element leaves the front of a free slice; an emptied free slice is dropped.
void ConsumeFront(NodeList* free_list, RichSlice* free_slice) {
    ++free_slice->start;
    --free_slice->count;
    if (free_slice->count == 0) {
        free_list->Unlink(free_slice);
        delete free_slice;
    }
}

}  // namespace

void RichBlockStore::TakeFirstFree(RichDocument& d, RichSlice* target) {
    NodeList& free_list = FreeList(d, target->kind);
    auto* free_slice = static_cast<RichSlice*>(free_list.head);
    target->block = free_slice->block;
    target->start = free_slice->start;
    target->count = 1;
    ConsumeFront(&free_list, free_slice);
}

void RichBlockStore::GrowInPlace(RichDocument& d, RichSlice* slice, RichSlice* free_slice) {
    ++slice->count;
    ConsumeFront(&FreeList(d, slice->kind), free_slice);
}

void RichBlockStore::GiveToFree(RichDocument& d, RichSlice* part) {
    NodeList& free_list = FreeList(d, part->kind);
    RichNode* node = free_list.head;
    while (node != nullptr && !OrderedBefore(part, static_cast<RichSlice*>(node))) {
        node = node->next;
    }
    free_list.InsertBefore(node, part);
}

void RichBlockStore::ReleaseSlots(RichSlice* part) {
    for (uint32_t i = 0; i < part->count; ++i) {
        ImageSlot* slot = part->SlotAt(i);
        if (slot->sprite != 0) {
            EDict record;
            EDictClear(&record);
            EDictSetType(&record, code::kDelete);
            EDictPutShort(&record, atoms::NAME, slot->sprite);
            HxPortPost(slot->port, &record, 0);
        }
        *slot = ImageSlot{};
    }
}

void RichBlockStore::DeleteNode(RichNode* node) {
    switch (node->kind) {
        case RichKind::TextSlice:
        case RichKind::ImageSlice:
            delete static_cast<RichSlice*>(node);
            break;
        case RichKind::TextFont:
        case RichKind::ImageNameFont:
            delete static_cast<FontRun*>(node);
            break;
        case RichKind::CharBlock:
            delete static_cast<CharBlock*>(node);
            break;
        case RichKind::ImageBlock:
            delete static_cast<ImageBlock*>(node);
            break;
        case RichKind::ImageInfo:
            delete static_cast<ImageInfo*>(node);
            break;
        case RichKind::LineRecord:
            // Lines belong to the view and never enter the document's lists.
            break;
    }
}

void RichBlockStore::FreeAll(RichDocument& d) {
    delete[] d.string_buffer_;
    d.string_buffer_ = nullptr;
    // Every image still in the text loses its host instance with its block.
    for (RichNode* node = d.image_blocks_.head; node != nullptr; node = node->next) {
        RichSlice whole(RichKind::ImageSlice);
        whole.block = node;
        whole.count = static_cast<uint8_t>(kImageBlockSlots);
        ReleaseSlots(&whole);
    }
    DeleteList(&d.image_blocks_);
    DeleteList(&d.char_blocks_);
    DeleteList(&d.free_images_);
    DeleteList(&d.free_text_);
    DeleteList(&d.runs_);
    DeleteList(&d.image_records_);
    d.next_serial_ = 0;
}

}  // namespace wm
