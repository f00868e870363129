#include "rich_checks.h"

#include <map>
#include <utility>

namespace wm::testing {
namespace {

struct BlockUse {
    uint32_t used = 0;
    uint32_t free = 0;
};

// Adds each listed block's use; false when a slice names a block not in the list.
bool AddSlices(const NodeList& slices, std::map<const RichNode*, BlockUse>* use, bool free) {
    for (RichNode* node = slices.head; node != nullptr; node = node->next) {
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr) continue;
        auto found = use->find(slice->block);
        if (found == use->end()) return false;
        (free ? found->second.free : found->second.used) += slice->count;
    }
    return true;
}

bool FreeListOrdered(const NodeList& list) {
    for (RichNode* node = list.head; node != nullptr && node->next != nullptr; node = node->next) {
        const auto* a = static_cast<const RichSlice*>(node);
        const auto* b = static_cast<const RichSlice*>(node->next);
        if (std::make_pair(a->Serial(), a->start) >= std::make_pair(b->Serial(), b->start)) return false;
        if (a->count == 0) return false;
    }
    return true;
}

}  // namespace

std::vector<ModelElement> ReadElements(RichDocument& document) {
    std::vector<ModelElement> elements;
    for (uint32_t position = 1; position <= document.Length(); ++position) {
        RichElement element;
        if (!document.ElementAt(position, &element)) break;
        ModelElement read;
        if (element.is_image) {
            const ImageInfo& record = *element.image->record;
            read.image = true;
            read.id_name = record.id_name;
            read.name_text = record.name_text;
            read.width_text = record.width_text;
            read.height_text = record.height_text;
        } else {
            read.character = element.character;
        }
        elements.push_back(read);
    }
    return elements;
}

::testing::AssertionResult BlocksConsistent(const RichDocument& document) {
    std::map<const RichNode*, BlockUse> use;
    for (const NodeList* blocks : {&document.CharBlocks(), &document.ImageBlocks()}) {
        for (RichNode* node = blocks->head; node != nullptr; node = node->next) use[node] = BlockUse{};
    }
    if (!AddSlices(document.Runs(), &use, false) || !AddSlices(document.FreeTextSpace(), &use, true) ||
        !AddSlices(document.FreeImageSpace(), &use, true)) {
        return ::testing::AssertionFailure() << "a slice names a block the document does not list";
    }
    for (const auto& [block, counts] : use) {
        if (counts.used + counts.free != kBlockElements) {
            return ::testing::AssertionFailure()
                   << "block holds " << counts.used << " used + " << counts.free << " free elements";
        }
    }
    if (!FreeListOrdered(document.FreeTextSpace()) || !FreeListOrdered(document.FreeImageSpace())) {
        return ::testing::AssertionFailure() << "free list out of block-then-start order";
    }
    uint32_t length = 0;
    uint32_t images = 0;
    for (RichNode* node = document.Runs().head; node != nullptr; node = node->next) {
        if (const RichSlice* slice = AsSlice(node)) {
            if (slice->count == 0) return ::testing::AssertionFailure() << "empty slice in the text";
            length += slice->count;
            if (!slice->IsText()) images += slice->count;
        }
    }
    if (length != document.Length() || images != document.ImageCount()) {
        return ::testing::AssertionFailure() << "slices hold " << length << " elements and " << images
                                             << " images; document says " << document.Length() << " and "
                                             << document.ImageCount();
    }
    return ::testing::AssertionSuccess();
}

std::string ToString(const std::vector<ModelElement>& elements) {
    std::string text;
    for (const ModelElement& element : elements) {
        text += element.image ? "[" + element.id_name + "]" : std::string(1, element.character);
    }
    return text;
}

}  // namespace wm::testing
