// Checks shared by the document's tests: the block invariant, and a document read back as a
// plain list of elements to compare with a model or another document.
#ifndef WRENMAIL_TESTS_RICHTEXT_RICH_CHECKS_H
#define WRENMAIL_TESTS_RICHTEXT_RICH_CHECKS_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "richtext/rich_document.h"

namespace wm::testing {

// One element as the tests see it: a character, or an image by its record's texts and the
// slot's own size.
struct ModelElement {
    bool image = false;
    char character = 0;
    std::string id_name;
    std::string name_text;
    std::string width_text;
    std::string height_text;

    bool operator==(const ModelElement&) const = default;
};

// The elements read through the walker, position by position.
std::vector<ModelElement> ReadElements(RichDocument& document);

// Every block: elements in the text plus free elements = 254; free lists in block-then-start
// order; slice counts add up to the length and the images to the image count.
::testing::AssertionResult BlocksConsistent(const RichDocument& document);

std::string ToString(const std::vector<ModelElement>& elements);

}  // namespace wm::testing

#endif
