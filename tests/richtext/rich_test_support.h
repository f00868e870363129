// Shared by the document's tests: a stand-in host that logs every send and post and answers size
// questions, the elements of a document as plain values, and the block invariant.
#ifndef WRENMAIL_TESTS_RICHTEXT_RICH_TEST_SUPPORT_H
#define WRENMAIL_TESTS_RICHTEXT_RICH_TEST_SUPPORT_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "edict.h"
#include "richtext/rich_document.h"

namespace wm::testing {

// The size the host answers (30055) for any source sprite.
inline constexpr int32_t kHostWidth = 64;
inline constexpr int32_t kHostHeight = 48;

struct Traced {
    uint16_t port;
    EDict record;
    bool posted;
};

class RichTestHost {
public:
    RichTestHost();
    ~RichTestHost();
    uint16_t Port() const;
    std::vector<Traced> OfType(uint16_t type) const;
    std::size_t Count() const;
    void Clear();
};

// A character, or an image by its record's texts.
struct ModelElement {
    bool image = false;
    char character = 0;
    std::string id_name, name_text, width_text, height_text;
    bool operator==(const ModelElement&) const = default;
};

std::vector<ModelElement> ReadElements(RichDocument& document);
// Characters as they are, images as [ID name].
std::string ToString(const std::vector<ModelElement>& elements);
// Per block, used plus free elements = 254; free lists in block-then-start order; the slices
// add up to the length and the image count.
::testing::AssertionResult BlocksConsistent(const RichDocument& document);

}  // namespace wm::testing

#endif
