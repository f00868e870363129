// A document driven by thousands of random edits, checked after every step against a plain
// vector of elements.
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "messaging/name_atoms.h"
#include "rich_test_support.h"

namespace wm::testing {
namespace {

constexpr const char* kSources[][2] = {{"StpCat", "a cat"}, {"StpDog", "dog <3"}, {"StpAb", "x"}, {"StpZ", "z\tz"}};
constexpr char kCharacters[] = "abcdefgh  \n<>=\"xyz.,!";

class ModelDriver {
public:
    explicit ModelDriver(uint32_t seed) : random_(seed) {}

    void Step() {
        const uint32_t kind = Pick(0, 999);
        if (kind < 550) {
            TypeBurst();
        } else if (kind < 670) {
            InsertImage();
        } else if (kind < 960) {
            Delete(4);
        } else if (kind < 985) {
            Delete(60);
        } else if (kind < 988) {
            Delete(Length());
        } else {
            EXPECT_FALSE(document_.InsertCharacter(Length() + 2, 'q'));
            EXPECT_FALSE(document_.InsertCharacter(0, 'q'));
        }
    }

    void Check() {
        ASSERT_EQ(document_.Length(), Length());
        ASSERT_EQ(document_.ImageCount(), images_);
        ASSERT_TRUE(BlocksConsistent(document_));
        const std::vector<ModelElement> expected = Expected();
        ASSERT_EQ(ToString(ReadElements(document_)), ToString(expected));
        std::string tagged;
        std::string plain;
        for (const ModelElement& e : expected) {
            const std::string c(1, e.character);
            tagged += e.image ? "<ID=\"" + e.id_name + "\" NAME=\"" + e.name_text + "\" W=" + e.width_text +
                                    " H=" + e.height_text + ">"
                              : e.character == '\n' ? "\r\n" : e.character == '<' ? "<<" : c;
            plain += e.image ? e.name_text : e.character == '\n' ? "\r\n" : c;
        }
        ASSERT_EQ(document_.ProduceTaggedBodyText(), tagged);
        ASSERT_EQ(document_.ProducePlainBodyText(), plain);
    }

    // Loading the produced tagged text gives back the same elements and the same text.
    void CheckRoundTrip() {
        const std::string tagged = document_.ProduceTaggedBodyText();
        RichDocument copy;
        copy.LoadTaggedBodyText(tagged.c_str());
        ASSERT_EQ(ReadElements(copy), ReadElements(document_));
        ASSERT_EQ(copy.ProduceTaggedBodyText(), tagged);
        ASSERT_TRUE(BlocksConsistent(copy));
    }

    uint32_t Length() const { return static_cast<uint32_t>(elements_.size()); }

private:
    uint32_t Pick(uint32_t low, uint32_t high) { return std::uniform_int_distribution<uint32_t>(low, high)(random_); }

    // Image elements take their record's texts: the first image of a source made the record.
    std::vector<ModelElement> Expected() const {
        std::vector<ModelElement> expected = elements_;
        for (ModelElement& element : expected) {
            if (element.image) element = records_.at(element.id_name);
        }
        return expected;
    }

    // Characters typed one after the other from a random position, as a person types.
    void TypeBurst() {
        uint32_t position = Pick(1, Length() + 1);
        for (uint32_t count = Pick(1, 12); count > 0; --count, ++position) {
            ModelElement element;
            element.character = kCharacters[Pick(0, sizeof kCharacters - 2)];
            ASSERT_TRUE(document_.InsertCharacter(position, element.character));
            elements_.insert(elements_.begin() + (position - 1), element);
        }
    }

    void InsertImage() {
        const uint32_t position = Pick(1, Length() + 1);
        const auto& source = kSources[Pick(0, std::size(kSources) - 1)];
        // Some come without a size, which the host then answers.
        const bool ask = Pick(0, 4) == 0;
        const uint32_t width = ask ? 0 : Pick(1, 300);
        const uint32_t height = ask ? 0 : Pick(1, 300);
        const bool inserted = document_.InsertImage(position, host_.Port(), FetchAtom(source[0]), source[1],
                                                    static_cast<uint16_t>(width), static_cast<uint16_t>(height));
        ASSERT_EQ(inserted, images_ < kRichMaximumImages);
        if (!inserted) return;
        ModelElement element{true, 0, source[0], source[1], std::to_string(ask ? kHostWidth : width),
                             std::to_string(ask ? kHostHeight : height)};
        records_.try_emplace(source[0], element);
        elements_.insert(elements_.begin() + (position - 1), element);
        ++images_;
    }

    void Delete(uint32_t most) {
        if (Length() == 0) return document_.DeleteRange(1, 1);
        const uint32_t first = Pick(1, Length());
        const uint32_t last = std::min(Length(), first + Pick(1, std::max(most, 1u)) - 1);
        document_.DeleteRange(first, last);
        images_ -= static_cast<uint32_t>(std::count_if(elements_.begin() + (first - 1), elements_.begin() + last,
                                                       [](const ModelElement& e) { return e.image; }));
        elements_.erase(elements_.begin() + (first - 1), elements_.begin() + last);
        // An emptied document is reset, records and all.
        if (elements_.empty()) records_.clear();
        EXPECT_EQ(document_.ChangePosition(), first);
    }

    RichTestHost host_;
    RichDocument document_;
    std::vector<ModelElement> elements_;
    std::map<std::string, ModelElement> records_;
    uint32_t images_ = 0;
    std::mt19937 random_;
};

TEST(RichDocumentModel, ThousandsOfRandomEditsMatchAPlainVector) {
    for (uint32_t seed : {1u, 2024u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ModelDriver driver(seed);
        uint32_t longest = 0;
        for (int step = 1; step <= 3000 && !::testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            driver.Step();
            driver.Check();
            if (step % 100 == 0) driver.CheckRoundTrip();
            longest = std::max(longest, driver.Length());
        }
        // The walk must have grown past several blocks to mean anything.
        EXPECT_GT(longest, 3 * kBlockElements);
    }
}

}  // namespace
}  // namespace wm::testing
