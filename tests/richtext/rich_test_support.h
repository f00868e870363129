// Shared by the document's tests: the null host answering size questions on one scene port, the
// elements of a document as plain values, and the block invariant.
#ifndef WRENMAIL_TESTS_RICHTEXT_RICH_TEST_SUPPORT_H
#define WRENMAIL_TESTS_RICHTEXT_RICH_TEST_SUPPORT_H

#include <string>
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

std::vector<ModelElement> ReadElements(RichDocument& document);
// Characters as they are, images as [ID name].
std::string ToString(const std::vector<ModelElement>& elements);
// Per block, used plus free elements = 254; free lists in block-then-start order; the slices
// add up to the length and the image count.
::testing::AssertionResult BlocksConsistent(const RichDocument& document);

}  // namespace wm::testing

#endif
