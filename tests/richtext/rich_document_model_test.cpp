// A document driven by thousands of random edits, checked after every step against a plain
// vector of elements.
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "messaging/name_atoms.h"
#include "rich_checks.h"
#include "rich_test_host.h"
#include "richtext/rich_document.h"

namespace wm::testing {
namespace {

struct Record {
    std::string name_text;
    int width = 0;
    int height = 0;
};

// The model: elements in order, and the image records the document should share.
class Model {
public:
    void InsertCharacter(uint32_t position, char c) {
        ModelElement element;
        element.character = c;
        elements_.insert(elements_.begin() + (position - 1), element);
    }

    void InsertImage(uint32_t position, const std::string& id, const std::string& name, int width, int height) {
        records_.try_emplace(id, Record{name, width, height});
        ModelElement element;
        element.image = true;
        element.id_name = id;
        elements_.insert(elements_.begin() + (position - 1), element);
        ++images_;
    }

    void Delete(uint32_t first, uint32_t last) {
        for (uint32_t p = first; p <= last; ++p) images_ -= elements_[p - 1].image ? 1 : 0;
        elements_.erase(elements_.begin() + (first - 1), elements_.begin() + last);
        // An emptied document is reset, records and all.
        if (elements_.empty()) records_.clear();
    }

    uint32_t Length() const { return static_cast<uint32_t>(elements_.size()); }
    uint32_t Images() const { return images_; }

    std::vector<ModelElement> Expected() const {
        std::vector<ModelElement> expected = elements_;
        for (ModelElement& element : expected) {
            if (!element.image) continue;
            const Record& record = records_.at(element.id_name);
            element.name_text = record.name_text;
            element.width_text = std::to_string(record.width);
            element.height_text = std::to_string(record.height);
        }
        return expected;
    }

    std::string Tagged() const {
        std::string text;
        for (const ModelElement& element : Expected()) {
            if (element.image) {
                text += "<ID=\"" + element.id_name + "\" NAME=\"" + element.name_text + "\" W=" + element.width_text +
                        " H=" + element.height_text + ">";
            } else if (element.character == '\n') {
                text += "\r\n";
            } else if (element.character == '<') {
                text += "<<";
            } else {
                text += element.character;
            }
        }
        return text;
    }

    std::string Plain() const {
        std::string text;
        for (const ModelElement& element : Expected()) {
            if (element.image) {
                text += element.name_text;
            } else {
                text += element.character == '\n' ? std::string("\r\n") : std::string(1, element.character);
            }
        }
        return text;
    }

private:
    std::vector<ModelElement> elements_;
    std::map<std::string, Record> records_;
    uint32_t images_ = 0;
};

struct Source {
    const char* id;
    const char* name;
};

constexpr Source kSources[] = {
    {"StpCat", "a cat"}, {"StpDog", "dog <3"}, {"StpSun", "sun"}, {"StpAb", "x"}, {"StpZebra", "zebra\tstripes"},
};
constexpr char kCharacters[] = "abcdefgh  \n<>=\"xyz.,!";

class ModelDriver {
public:
    explicit ModelDriver(uint32_t seed) : random_(seed) { document_.SetImagePort(host_.Port()); }

    void Step() {
        const int kind = Pick(0, 999);
        if (kind < 550) {
            TypeBurst();
        } else if (kind < 670) {
            InsertImage();
        } else if (kind < 960) {
            DeleteSome(4);
        } else if (kind < 985) {
            DeleteSome(60);
        } else if (kind < 988) {
            DeleteSome(model_.Length());
        } else {
            // Outside the text: refused, nothing changes.
            EXPECT_FALSE(document_.InsertCharacter(model_.Length() + 2, 'q'));
            EXPECT_FALSE(document_.InsertCharacter(0, 'q'));
        }
    }

    void Check(int step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_EQ(document_.Length(), model_.Length());
        ASSERT_EQ(document_.ImageCount(), model_.Images());
        ASSERT_TRUE(BlocksConsistent(document_));
        const std::vector<ModelElement> expected = model_.Expected();
        ASSERT_EQ(ToString(ReadElements(document_)), ToString(expected));
        ASSERT_EQ(std::string(document_.ProduceTaggedBodyText()), model_.Tagged());
        ASSERT_EQ(std::string(document_.ProducePlainBodyText()), model_.Plain());
    }

    // Loading the produced tagged text gives back the same elements and the same text.
    void CheckRoundTrip() {
        const std::string tagged = document_.ProduceTaggedBodyText();
        RichDocument copy;
        copy.SetImagePort(host_.Port());
        copy.LoadTaggedBodyText(tagged.c_str());
        ASSERT_EQ(ReadElements(copy), ReadElements(document_));
        ASSERT_EQ(std::string(copy.ProduceTaggedBodyText()), tagged);
        ASSERT_TRUE(BlocksConsistent(copy));
    }

    uint32_t Length() const { return model_.Length(); }
    uint32_t Images() const { return model_.Images(); }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // Characters typed one after the other from a random position, as a person types.
    void TypeBurst() {
        uint32_t position = static_cast<uint32_t>(Pick(1, static_cast<int>(model_.Length()) + 1));
        const int count = Pick(1, 12);
        for (int i = 0; i < count; ++i) {
            const char c = kCharacters[Pick(0, sizeof kCharacters - 2)];
            ASSERT_TRUE(document_.InsertCharacter(position, c));
            model_.InsertCharacter(position, c);
            ++position;
        }
    }

    void InsertImage() {
        const uint32_t position = static_cast<uint32_t>(Pick(1, static_cast<int>(model_.Length()) + 1));
        const Source& source = kSources[Pick(0, std::size(kSources) - 1)];
        // Some images come without a size, which the host then answers.
        const bool ask = Pick(0, 4) == 0;
        const int width = ask ? 0 : Pick(1, 300);
        const int height = ask ? 0 : Pick(1, 300);
        const bool inserted = document_.InsertImage(position, host_.Port(), FetchAtom(source.id), source.name,
                                                    static_cast<uint16_t>(width), static_cast<uint16_t>(height));
        ASSERT_EQ(inserted, model_.Images() < kRichMaximumImages);
        if (inserted) {
            model_.InsertImage(position, source.id, source.name, ask ? kHostWidth : width, ask ? kHostHeight : height);
        }
    }

    void DeleteSome(uint32_t most) {
        if (model_.Length() == 0) {
            document_.DeleteRange(1, 1);
            return;
        }
        const uint32_t first = static_cast<uint32_t>(Pick(1, static_cast<int>(model_.Length())));
        const uint32_t span = static_cast<uint32_t>(Pick(1, static_cast<int>(std::max<uint32_t>(most, 1))));
        const uint32_t last = std::min(model_.Length(), first + span - 1);
        document_.DeleteRange(first, last);
        model_.Delete(first, last);
        EXPECT_EQ(document_.ChangePosition(), first);
    }

    RichTestHost host_;
    RichDocument document_;
    Model model_;
    std::mt19937 random_;
};

TEST(RichDocumentModel, ThousandsOfRandomEditsMatchAPlainVector) {
    for (uint32_t seed : {1u, 2024u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ModelDriver driver(seed);
        uint32_t longest = 0;
        for (int step = 1; step <= 3000; ++step) {
            driver.Step();
            driver.Check(step);
            if (::testing::Test::HasFatalFailure()) return;
            if (step % 100 == 0) driver.CheckRoundTrip();
            if (::testing::Test::HasFatalFailure()) return;
            longest = std::max(longest, driver.Length());
        }
        // The walk must have grown past several blocks to mean anything.
        EXPECT_GT(longest, 3 * kBlockElements);
    }
}

}  // namespace
}  // namespace wm::testing
