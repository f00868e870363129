// Shared by the document's tests: the null host answering size questions on one scene port, the
// elements of a document as plain values, and the block invariant.
#ifndef WRENMAIL_TESTS_RICHTEXT_RICH_TEST_SUPPORT_H
#define WRENMAIL_TESTS_RICHTEXT_RICH_TEST_SUPPORT_H

#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "edict.h"
#include "messaging/name_atoms.h"
#include "null_host.h"
#include "richtext/rich_document.h"

namespace wm::testing {

// The size the host answers (30055) for any source sprite.
inline constexpr int32_t kHostWidth = 64;
inline constexpr int32_t kHostHeight = 48;

// The null host with a scene port that answers every sprite's size.
class RichTestHost : public NullHost {
public:
    RichTestHost() {
        Install();
        scenes.Attach(Port());
        scenes.anyRect = FakeSceneService::Rect{10, 20, 10 + kHostWidth, 20 + kHostHeight};
    }
    static uint16_t Port() { return FetchAtom("RichTestScenePort"); }
};

// A character, or an image by its record's texts.
struct ModelElement {
    bool image = false;
    char character = 0;
    std::string id_name, name_text, width_text, height_text;
    bool operator==(const ModelElement&) const = default;
};

// Adds each slice's count to its block's used or free total; false for an unlisted block.
inline bool AddSlices(const NodeList& slices, std::map<const RichNode*, std::pair<uint32_t, uint32_t>>* use, bool free) {
    for (RichNode* node = slices.head; node != nullptr; node = node->next) {
        const RichSlice* slice = AsSlice(node);
        if (slice == nullptr) continue;
        auto found = use->find(slice->block);
        if (found == use->end() || slice->count == 0) return false;
        (free ? found->second.second : found->second.first) += slice->count;
        const auto* next = static_cast<const RichSlice*>(node->next);
        if (free && next != nullptr &&
            std::make_pair(slice->Serial(), slice->start) >= std::make_pair(next->Serial(), next->start)) {
            return false;
        }
    }
    return true;
}


inline std::vector<ModelElement> ReadElements(RichDocument& document) {
    std::vector<ModelElement> elements;
    RichElement element;
    for (uint32_t position = 1; document.ElementAt(position, &element); ++position) {
        ModelElement read;
        read.image = element.is_image;
        read.character = element.character;
        if (element.is_image) {
            const ImageInfo& record = *element.image->record;
            read.id_name = record.id_name;
            read.name_text = record.name_text;
            read.width_text = record.width_text;
            read.height_text = record.height_text;
        }
        elements.push_back(read);
    }
    return elements;
}

// Characters as they are, images as [ID name].
inline std::string ToString(const std::vector<ModelElement>& elements) {
    std::string text;
    for (const ModelElement& element : elements) {
        text += element.image ? "[" + element.id_name + "]" : std::string(1, element.character);
    }
    return text;
}

// Per block, used plus free elements = 254; free lists in block-then-start order; the slices
// add up to the length and the image count.
inline ::testing::AssertionResult BlocksConsistent(const RichDocument& document) {
    std::map<const RichNode*, std::pair<uint32_t, uint32_t>> use;
    for (const NodeList* blocks : {&document.CharBlocks(), &document.ImageBlocks()}) {
        for (RichNode* node = blocks->head; node != nullptr; node = node->next) use[node] = {0, 0};
    }
    if (!AddSlices(document.Runs(), &use, false) || !AddSlices(document.FreeTextSpace(), &use, true) ||
        !AddSlices(document.FreeImageSpace(), &use, true)) {
        return ::testing::AssertionFailure() << "a slice is empty, unordered or in an unknown block";
    }
    for (const auto& [block, counts] : use) {
        if (counts.first + counts.second != kBlockElements) {
            return ::testing::AssertionFailure() << counts.first << " used + " << counts.second << " free";
        }
    }
    uint32_t length = 0;
    uint32_t images = 0;
    for (RichNode* node = document.Runs().head; node != nullptr; node = node->next) {
        if (const RichSlice* slice = AsSlice(node)) {
            length += slice->count;
            images += slice->IsText() ? 0 : slice->count;
        }
    }
    if (length != document.Length() || images != document.ImageCount()) {
        return ::testing::AssertionFailure() << "slices hold " << length << " and " << images << " images";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace wm::testing

#endif
