// The document's edits on its run list: finding the slice that holds a position, placing a new
// element (growing a slice in place, linking a new one, or splitting one), removing ranges,
// format runs, the element walker, and the character classes used by line breaking and the
// cursor.
#include "richtext/rich_document.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "messaging/request_builders.h"
#include "richtext/rich_block_store.h"
#include "richtext/rich_document_internals.h"

namespace wm {

RichDocument::RichDocument() {
    Reset();
}

RichDocument::~RichDocument() {
    RichBlockStore::FreeAll(*this);
}

void RichDocument::Reset() {
    RichBlockStore::FreeAll(*this);
    length_ = 0;
    image_count_ = 0;
    walker_ = WalkerState{};
    modified_ = 1;
    change_position_ = 1;
}

// Position 1 and the last positions are found from the ends of the run list; any other
// position by adding counts from the head.
RichDocumentInternals::Holder RichDocumentInternals::FindSlice(const RichDocument& d, uint32_t position) {
    Holder holder;
    if (d.length_ == 0 || position < 1 || position > d.length_ + 1) return holder;
    if (position == 1) {
        RichNode* node = d.runs_.head;
        while (AsSlice(node) == nullptr) node = node->next;
        holder.slice = AsSlice(node);
        holder.first = 1;
    } else if (position >= d.length_) {
        RichNode* node = d.runs_.tail;
        while (AsSlice(node) == nullptr) node = node->prev;
        holder.slice = AsSlice(node);
        holder.first = d.length_ - holder.slice->count + 1;
    } else {
        uint32_t sum = 0;
        for (RichNode* node = d.runs_.head; node != nullptr; node = node->next) {
            RichSlice* slice = AsSlice(node);
            if (slice == nullptr) continue;
            if (sum + slice->count >= position) {
                holder.slice = slice;
                holder.first = sum + 1;
                break;
            }
            sum += slice->count;
        }
        if (holder.slice == nullptr) return Holder{};
    }
    holder.last = holder.first + holder.slice->count - 1;
    return holder;
}

FontRun* RichDocumentInternals::FindFontBefore(RichNode* node, RichKind kind) {
    for (RichNode* at = node; at != nullptr; at = at->prev) {
        if (at->kind == kind) return static_cast<FontRun*>(at);
    }
    return nullptr;
}

bool RichDocumentInternals::PlanPlacement(RichDocument& d, uint32_t position, RichKind slice_kind,
                                          Placement* plan) {
    if (!RichBlockStore::EnsureFreeSpace(d, slice_kind)) return false;
    const Holder holder = FindSlice(d, position);
    plan->holder = holder;
    bool need_tail = false;
    if (holder.slice != nullptr && (position == holder.first || position == holder.last + 1)) {
        // At a slice boundary the element goes after the node before the position.
        RichNode* before = position == holder.first ? holder.slice->prev : holder.slice;
        RichSlice* neighbour = AsSlice(before);
        if (neighbour != nullptr && neighbour->kind == slice_kind) {
            plan->grow_from = RichBlockStore::AdjacentFree(d, neighbour);
            if (plan->grow_from != nullptr) {
                plan->grow = neighbour;
                return true;
            }
        }
        plan->after = before;
    } else if (holder.slice != nullptr) {
        plan->split = true;
        plan->split_at = position - holder.first;
        need_tail = true;
    }
    plan->fresh = new (std::nothrow) RichSlice(slice_kind);
    if (need_tail) plan->tail = new (std::nothrow) RichSlice(slice_kind);
    if (plan->fresh == nullptr || (need_tail && plan->tail == nullptr)) {
        CancelPlacement(plan);
        return false;
    }
    return true;
}

void RichDocumentInternals::CancelPlacement(Placement* plan) {
    delete plan->fresh;
    delete plan->tail;
    plan->fresh = nullptr;
    plan->tail = nullptr;
}

RichSlice* RichDocumentInternals::SplitSlice(RichDocument& d, RichSlice* slice, uint32_t keep, RichSlice* tail) {
    tail->kind = slice->kind;
    tail->block = slice->block;
    tail->start = static_cast<uint8_t>(slice->start + keep);
    tail->count = static_cast<uint8_t>(slice->count - keep);
    slice->count = static_cast<uint8_t>(keep);
    d.runs_.InsertAfter(slice, tail);
    return tail;
}

RichSlice* RichDocumentInternals::ApplyPlacement(RichDocument& d, Placement* plan) {
    if (plan->grow != nullptr) {
        RichBlockStore::GrowInPlace(d, plan->grow, plan->grow_from);
        return plan->grow;
    }
    RichSlice* fresh = plan->fresh;
    if (plan->split) {
        SplitSlice(d, plan->holder.slice, plan->split_at, plan->tail);
        d.runs_.InsertAfter(plan->holder.slice, fresh);
    } else {
        d.runs_.InsertAfter(plan->after, fresh);
    }
    RichBlockStore::TakeFirstFree(d, fresh);
    plan->fresh = nullptr;
    plan->tail = nullptr;
    return fresh;
}

bool RichDocument::InsertCharacter(uint32_t position, char character) {
    if (position >= maximum_length_ || position < 1 || position > length_ + 1) return false;
    Internals::Placement plan;
    if (!Internals::PlanPlacement(*this, position, RichKind::TextSlice, &plan)) return false;
    RichSlice* slice = Internals::ApplyPlacement(*this, &plan);
    *slice->CharAt(slice->count - 1u) = character;
    ++length_;
    modified_ = 1;
    change_position_ = position;
    walker_ = WalkerState{};
    return true;
}

// A format run changes no position, so it leaves the modified flag alone: the view adds the
// default runs while it lays the text out, and that must not ask for another layout.
bool RichDocument::InsertFontRun(uint32_t position, RichKind kind, const char* font_name, float size,
                                 uint32_t style, uint8_t red, uint8_t green, uint8_t blue, CanvasInterface* canvas) {
    if (kind != RichKind::TextFont && kind != RichKind::ImageNameFont) return false;
    const Internals::Holder holder = Internals::FindSlice(*this, position);
    if (holder.slice == nullptr) return false;
    const bool split = position > holder.first && position <= holder.last;
    auto* run = new (std::nothrow) FontRun(kind);
    RichSlice* tail = split ? new (std::nothrow) RichSlice(holder.slice->kind) : nullptr;
    char* name = run != nullptr ? CopyText(font_name, nullptr) : nullptr;
    if (run == nullptr || name == nullptr || (split && tail == nullptr)) {
        delete run;
        delete tail;
        delete[] name;
        return false;
    }
    run->font_name = name;
    run->size = size;
    run->style = style;
    run->red = red;
    run->green = green;
    run->blue = blue;
    if (canvas != nullptr) {
        float width = 0.0f;
        canvas->SelectFont(name, static_cast<int32_t>(style), static_cast<int32_t>(size));
        canvas->MeasureText("M", &width, &run->metric);
    }
    if (position == holder.first) {
        runs_.InsertBefore(holder.slice, run);
    } else if (split) {
        Internals::SplitSlice(*this, holder.slice, position - holder.first, tail);
        runs_.InsertAfter(holder.slice, run);
    } else {
        runs_.InsertAfter(holder.slice, run);
    }
    walker_ = WalkerState{};
    return true;
}

namespace {

// Images among positions first to last.
uint32_t CountImages(const NodeList& runs, uint32_t first, uint32_t last) {
    uint32_t images = 0;
    uint32_t position = 0;
    for (RichNode* node = runs.head; node != nullptr && position < last; node = node->next) {
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr) continue;
        const uint32_t slice_first = position + 1;
        position += slice->count;
        if (slice->IsText() || position < first) continue;
        images += std::min(last, position) - std::max(first, slice_first) + 1;
    }
    return images;
}

}  // namespace

void RichDocument::DeleteRange(uint32_t first, uint32_t last) {
    if (length_ == 0) return;
    first = std::max<uint32_t>(first, 1);
    last = std::min(last, length_);
    if (first > last) return;
    // At most two parts are cut out of slices that stay (the ends of the range, or the middle of
    // one slice and its tail): their nodes are taken before anything changes.
    RichSlice* spare[2] = {new (std::nothrow) RichSlice(RichKind::TextSlice),
                           new (std::nothrow) RichSlice(RichKind::TextSlice)};
    if (spare[0] == nullptr || spare[1] == nullptr) {
        delete spare[0];
        delete spare[1];
        return;
    }
    int spares_used = 0;
    const uint32_t images = CountImages(runs_, first, last);
    auto remove = [this](RichSlice* part) {
        if (!part->IsText()) RichBlockStore::ReleaseSlots(part);
        RichBlockStore::GiveToFree(*this, part);
    };
    uint32_t position = 0;
    RichNode* node = runs_.head;
    while (node != nullptr && position < last) {
        RichNode* next = node->next;
        RichSlice* slice = AsSlice(node);
        node = next;
        if (slice == nullptr) continue;
        const uint32_t slice_first = position + 1;
        const uint32_t slice_last = position + slice->count;
        position = slice_last;
        if (slice_last < first) continue;
        const uint32_t from = std::max(first, slice_first);
        const uint32_t to = std::min(last, slice_last);
        const uint32_t count = to - from + 1;
        if (from == slice_first && to == slice_last) {
            runs_.Unlink(slice);
            remove(slice);
            continue;
        }
        RichSlice* part = spare[spares_used++];
        part->kind = slice->kind;
        part->block = slice->block;
        part->start = static_cast<uint8_t>(slice->start + (from - slice_first));
        part->count = static_cast<uint8_t>(count);
        if (from == slice_first) {
            slice->start = static_cast<uint8_t>(slice->start + count);
            slice->count = static_cast<uint8_t>(slice->count - count);
        } else if (to == slice_last) {
            slice->count = static_cast<uint8_t>(slice->count - count);
        } else {
            RichSlice* tail = spare[spares_used++];
            tail->kind = slice->kind;
            Internals::SplitSlice(*this, slice, from - slice_first, tail);
            tail->start = static_cast<uint8_t>(tail->start + count);
            tail->count = static_cast<uint8_t>(tail->count - count);
        }
        remove(part);
    }
    for (int i = spares_used; i < 2; ++i) delete spare[i];
    image_count_ -= images;
    length_ -= last - first + 1;
    if (length_ == 0) Reset();
    modified_ = 1;
    change_position_ = first;
    walker_ = WalkerState{};
}

FontRun* RichDocument::FindTextFontAt(uint32_t position) const {
    const Internals::Holder holder = Internals::FindSlice(*this, position);
    return holder.slice != nullptr ? Internals::FindFontBefore(holder.slice->prev, RichKind::TextFont) : nullptr;
}

FontRun* RichDocument::FindImageNameFontAt(uint32_t position) const {
    const Internals::Holder holder = Internals::FindSlice(*this, position);
    return holder.slice != nullptr ? Internals::FindFontBefore(holder.slice->prev, RichKind::ImageNameFont)
                                   : nullptr;
}

bool RichDocument::WalkTo(uint32_t position) {
    if (position < 1 || position > length_) return false;
    if (walker_.slice != nullptr) {
        if (position >= walker_.first && position <= walker_.last) return true;
        if (position == walker_.last + 1) {
            for (RichNode* node = walker_.slice->next; node != nullptr; node = node->next) {
                if (node->kind == RichKind::TextFont) {
                    walker_.text_font = static_cast<FontRun*>(node);
                } else if (node->kind == RichKind::ImageNameFont) {
                    walker_.image_name_font = static_cast<FontRun*>(node);
                } else if (RichSlice* slice = AsSlice(node)) {
                    walker_.slice = slice;
                    walker_.first = position;
                    walker_.last = position + slice->count - 1;
                    return true;
                }
            }
        }
    }
    const Internals::Holder holder = Internals::FindSlice(*this, position);
    walker_.slice = holder.slice;
    walker_.first = holder.first;
    walker_.last = holder.last;
    walker_.text_font = Internals::FindFontBefore(holder.slice->prev, RichKind::TextFont);
    walker_.image_name_font = Internals::FindFontBefore(holder.slice->prev, RichKind::ImageNameFont);
    return true;
}

void RichDocument::SetWalker(const WalkerState& state) {
    walker_ = state;
}

void RichDocument::ClearWalker() {
    walker_ = WalkerState{};
}

bool RichDocument::ElementAt(uint32_t position, RichElement* element) {
    if (!WalkTo(position)) return false;
    const uint32_t index = position - walker_.first;
    *element = RichElement{};
    if (walker_.slice->IsText()) {
        element->character = *walker_.slice->CharAt(index);
    } else {
        element->is_image = true;
        element->image = walker_.slice->SlotAt(index);
    }
    return true;
}

namespace {

ElementClass ClassOf(const RichElement& element) {
    if (element.is_image) return ElementClass::Image;
    if (element.character == ' ' || element.character == '\0') return ElementClass::Space;
    if (element.character == '\n') return ElementClass::LineFeed;
    return ElementClass::Word;
}

bool IsBlank(ElementClass element_class) {
    return element_class == ElementClass::Space || element_class == ElementClass::LineFeed;
}

}  // namespace

bool RichDocument::Classify(uint32_t position, Classification* result) {
    RichElement element;
    if (!ElementAt(position, &element)) return false;
    result->state = walker_;
    result->element_class = ClassOf(element);
    uint32_t end = position;
    // A word runs on over characters and images up to the next space, line feed or NUL.
    if (result->element_class == ElementClass::Word) {
        while (end < length_ && ElementAt(end + 1, &element) && !IsBlank(ClassOf(element))) ++end;
    }
    result->end = end;
    return true;
}

uint32_t RichDocument::PreviousWordStart(uint32_t position) {
    if (length_ == 0 || position < 2) return position;
    uint32_t at = std::min(position - 1, length_);
    RichElement element;
    while (at >= 1 && ElementAt(at, &element) && IsBlank(ClassOf(element))) --at;
    if (at < 1) return 1;
    while (at > 1 && ElementAt(at - 1, &element) && !IsBlank(ClassOf(element))) --at;
    return at;
}

uint32_t RichDocument::NextWordStart(uint32_t position) {
    if (length_ == 0 || position < 1 || position > length_) return position;
    Classification here;
    Classify(position, &here);
    uint32_t result = here.end + 1;
    if (result >= length_) return result;
    RichElement element;
    while (result != length_ && ElementAt(result, &element) && IsBlank(ClassOf(element))) ++result;
    return result;
}

void RichDocument::HideImageSprites() const {
    for (RichNode* node = runs_.head; node != nullptr; node = node->next) {
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr || slice->IsText()) continue;
        for (uint32_t i = 0; i < slice->count; ++i) {
            const ImageSlot* slot = slice->SlotAt(i);
            SetSpriteVisible(slot->port, slot->sprite, false, kSend);
        }
    }
}

}  // namespace wm
