// The document: its storage, host messages, classes, walker and body texts case by case, then
// thousands of random edits checked after every step against a plain vector of elements.
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "edict.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "null_host.h"
#include "richtext/rich_document.h"

namespace wm::testing {
namespace {

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
        const ImageInfo* r = element.is_image ? element.image->record : nullptr;
        elements.push_back(r == nullptr ? ModelElement{false, element.character, "", "", "", ""}
                                        : ModelElement{true, element.character, r->id_name, r->name_text, r->width_text,
                                                       r->height_text});
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

int CountNodes(const NodeList& list) {
    int count = 0;
    for (RichNode* node = list.head; node != nullptr; node = node->next) ++count;
    return count;
}

class RichDocumentTest : public ::testing::Test {
protected:
    void Type(RichDocument& document, uint32_t position, const std::string& text) {
        for (char c : text) ASSERT_TRUE(document.InsertCharacter(position++, c));
    }
    bool AddImage(uint32_t position, const char* id, const char* name, uint16_t width = 40, uint16_t height = 30) {
        return document_.InsertImage(position, host_.Port(), FetchAtom(id), name, width, height);
    }
    std::string Text() { return ToString(ReadElements(document_)); }

    RichTestHost host_;
    RichDocument document_;
};

TEST_F(RichDocumentTest, TypingFillsBlocksInPlaceAndSplitsOnlyOnce) {
    Type(document_, 1, std::string(300, 'x'));
    EXPECT_EQ(CountNodes(document_.CharBlocks()), 2);
    ASSERT_EQ(CountNodes(document_.Runs()), 2);  // 254 + 46
    EXPECT_EQ(AsSlice(document_.Runs().tail)->count, 46);
    EXPECT_EQ(document_.ChangePosition(), 300u);
    Type(document_, 101, "abc");  // one split, then the new slice grows
    EXPECT_EQ(CountNodes(document_.Runs()), 4);
    // Space given back is used again before any new block.
    document_.DeleteRange(10, 200);
    Type(document_, 5, std::string(150, 'y'));
    EXPECT_EQ(CountNodes(document_.CharBlocks()), 2);
    EXPECT_TRUE(BlocksConsistent(document_));
}

TEST_F(RichDocumentTest, AnImageIsAStillHiddenInstanceNamedFromTheModuleCounter) {
    const int before = RichDocument::ImageInstanceCounter();
    ASSERT_TRUE(AddImage(1, "StpCat", "cat", 0, 30));
    const auto asks = host_.Requests(0, code::kGetRect);  // a missing size is asked first
    ASSERT_EQ(asks.size(), 1u);
    EXPECT_EQ(EDictGetShort(&asks[0].record, atoms::NAME), FetchAtom("StpCat"));
    EXPECT_EQ(EDictGetShort(&asks[0].record, atoms::KIND), atoms::SP_GENERAL);
    const uint16_t instance = FetchAtom(("image" + std::to_string(before)).c_str());
    const auto starts = host_.Requests(0, code::kStart);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_FALSE(starts[0].posted);
    EXPECT_EQ(EDictGetShort(&starts[0].record, atoms::SPRITENAME), FetchAtom("StpCat"));
    EXPECT_EQ(EDictGetShort(&starts[0].record, atoms::INAME), instance);
    EXPECT_EQ(EDictGetLong(&starts[0].record, atoms::Z), 10);
    EXPECT_TRUE(EDictHasKey(&starts[0].record, atoms::VISIBLE));
    EXPECT_FALSE(EDictGetBool(&starts[0].record, atoms::VISIBLE));
    const auto effects = host_.Requests(0, code::kSetEffect);
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(EDictGetShort(&effects[0].record, atoms::FX), FetchAtom("Still"));
    RichElement element;
    ASSERT_TRUE(document_.ElementAt(1, &element));
    EXPECT_EQ(element.image->sprite, instance);
    EXPECT_EQ(element.image->width, kHostWidth);  // the answer replaces both dimensions
    EXPECT_EQ(element.image->height, kHostHeight);
    RichDocument other;
    ASSERT_TRUE(other.InsertImage(1, host_.Port(), FetchAtom("StpDog"), "dog", 5, 5));
    EXPECT_EQ(RichDocument::ImageInstanceCounter(), before + 2);
}

TEST_F(RichDocumentTest, ImagesOfOneSourceShareTheFirstRecordInDecreasingOrder) {
    ASSERT_TRUE(AddImage(1, "StpDog", "a dog", 40, 30));
    ASSERT_TRUE(AddImage(2, "StpDog", "another dog", 99, 99));
    ASSERT_TRUE(AddImage(3, "StpAnt", "ant"));
    ASSERT_TRUE(AddImage(4, "StpZoo", "zoo"));
    std::string order;
    for (RichNode* node = document_.ImageRecords().head; node != nullptr; node = node->next) {
        order += static_cast<ImageInfo*>(node)->id_name + std::string(" ");
    }
    EXPECT_EQ(order, "StpZoo StpDog StpAnt ");
    RichElement second;
    ASSERT_TRUE(document_.ElementAt(2, &second));
    EXPECT_EQ(second.image->width, 99);  // the slot keeps its own size, the record the first
    EXPECT_STREQ(second.image->record->width_text, "40");
}

TEST_F(RichDocumentTest, LimitsRefuseWithoutAWordToTheHost) {
    for (uint32_t i = 1; i <= kRichMaximumImages; ++i) ASSERT_TRUE(AddImage(i, "StpSun", "sun"));
    EXPECT_EQ(CountNodes(document_.ImageBlocks()), 1);
    host_.Forget();
    EXPECT_FALSE(AddImage(1, "StpSun", "sun", 0, 0));
    EXPECT_EQ(host_.Requests().size(), 0u);
    document_.DeleteRange(3, 3);
    EXPECT_TRUE(AddImage(1, "StpSun", "sun"));
    document_.SetMaximumLength(151);
    EXPECT_FALSE(document_.InsertCharacter(151, 'a'));
    EXPECT_TRUE(document_.InsertCharacter(150, 'a'));
}

TEST_F(RichDocumentTest, HidingAndDeletionsReachEachInstanceAndAnEmptiedTextResets) {
    document_.LoadPlainBodyText("ab");
    ASSERT_TRUE(AddImage(2, "StpCat", "cat"));
    ASSERT_TRUE(AddImage(3, "StpDog", "dog"));
    RichElement element;
    ASSERT_TRUE(document_.ElementAt(2, &element));
    const uint16_t sprite = element.image->sprite;
    host_.Forget();
    document_.HideImageSprites();
    const auto sets = host_.Requests(0, code::kSet);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_TRUE(EDictHasKey(&sets[1].record, atoms::VISIBLE));
    EXPECT_FALSE(EDictGetBool(&sets[1].record, atoms::VISIBLE));
    host_.Forget();
    document_.DeleteRange(2, 2);
    const auto deletions = host_.Requests(0, code::kDelete);
    ASSERT_EQ(deletions.size(), 1u);
    EXPECT_TRUE(deletions[0].posted);
    EXPECT_EQ(deletions[0].port, host_.Port());
    EXPECT_EQ(EDictGetShort(&deletions[0].record, atoms::NAME), sprite);
    EXPECT_EQ(Text(), "a[StpDog]b");
    host_.Forget();
    document_.LoadPlainBodyText("x");  // a reset deletes only what is still in the text
    EXPECT_EQ(host_.Requests(0, code::kDelete).size(), 1u);
    document_.SetModified(false);
    document_.DeleteRange(1, 1);
    EXPECT_EQ(document_.Length(), 0u);
    EXPECT_TRUE(document_.Modified());
    EXPECT_TRUE(document_.Runs().Empty() && document_.CharBlocks().Empty() && document_.ImageRecords().Empty());
    document_.DeleteRange(1, 5);
    EXPECT_EQ(document_.Length(), 0u);
}

// A deletion gives up instances in text order; a reset frees blocks and so goes slot by slot.
TEST_F(RichDocumentTest, DeletesFollowTheTextButAResetFollowsTheSlots) {
    ASSERT_TRUE(AddImage(1, "StpAnt", "ant"));  // slot 0
    ASSERT_TRUE(AddImage(1, "StpBee", "bee"));  // slot 1, placed before the ant
    RichElement bee, ant;
    ASSERT_TRUE(document_.ElementAt(1, &bee));
    ASSERT_TRUE(document_.ElementAt(2, &ant));
    const uint16_t bee_sprite = bee.image->sprite;
    const uint16_t ant_sprite = ant.image->sprite;
    auto deleted = [this] {
        std::vector<uint16_t> sprites;
        for (const HostRequest& t : host_.Requests(0, code::kDelete)) sprites.push_back(EDictGetShort(&t.record, atoms::NAME));
        return sprites;
    };
    host_.Forget();
    document_.LoadPlainBodyText("");
    EXPECT_EQ(deleted(), (std::vector<uint16_t>{ant_sprite, bee_sprite}));

    ASSERT_TRUE(AddImage(1, "StpAnt", "ant"));
    ASSERT_TRUE(AddImage(1, "StpBee", "bee"));
    ASSERT_TRUE(document_.ElementAt(1, &bee));
    ASSERT_TRUE(document_.ElementAt(2, &ant));
    const std::vector<uint16_t> in_text_order{bee.image->sprite, ant.image->sprite};
    host_.Forget();
    document_.DeleteRange(1, 2);
    EXPECT_EQ(deleted(), in_text_order);
}

TEST_F(RichDocumentTest, ClassesAndWordStarts) {
    Type(document_, 1, "ab c\n");
    ASSERT_TRUE(AddImage(2, "StpDog", "dog"));  // a[dog]b c\n
    ASSERT_TRUE(document_.InsertCharacter(7, '\0'));
    Classification result;
    const std::pair<uint32_t, ElementClass> classes[] = {
        {2, ElementClass::Image}, {6, ElementClass::LineFeed}, {7, ElementClass::Space}, {1, ElementClass::Word}};
    for (const auto& [position, element_class] : classes) {
        ASSERT_TRUE(document_.Classify(position, &result));
        EXPECT_EQ(result.element_class, element_class) << position;
    }
    EXPECT_EQ(result.end, 3u);  // an image after a word character belongs to the word
    EXPECT_FALSE(document_.Classify(8, &result));

    RichDocument words;
    Type(words, 1, "one  two\nthree");  // one 1-3, spaces 4-5, two 6-8, line feed 9, three 10-14
    for (auto [from, next] : {std::pair{1u, 6u}, {4u, 6u}, {6u, 10u}, {12u, 15u}}) {
        EXPECT_EQ(words.NextWordStart(from), next) << from;
    }
    for (auto [from, back] : {std::pair{15u, 10u}, {10u, 6u}, {6u, 1u}, {1u, 1u}}) {
        EXPECT_EQ(words.PreviousWordStart(from), back) << from;
    }
}

TEST_F(RichDocumentTest, FontRunsAndTheWalker) {
    EXPECT_FALSE(document_.InsertFontRun(1, RichKind::TextFont, "Comic Sans MS", 24.0f, 0, 0, 0, 0, nullptr));
    Type(document_, 1, "abcdef");
    document_.SetModified(false);
    EXPECT_EQ(document_.FindTextFontAt(1), nullptr);
    ASSERT_TRUE(document_.InsertFontRun(1, RichKind::TextFont, "Comic Sans MS", 24.0f, 0, 0, 0, 0, nullptr));
    ASSERT_TRUE(document_.InsertFontRun(1, RichKind::ImageNameFont, "Comic Sans MS", 24.0f, 0, 0, 0, 255, nullptr));
    ASSERT_TRUE(document_.InsertFontRun(4, RichKind::TextFont, "Times", 12.0f, 0, 1, 2, 3, nullptr));
    EXPECT_FALSE(document_.Modified());
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_STREQ(document_.FindTextFontAt(3)->font_name, "Comic Sans MS");
    EXPECT_EQ(document_.FindImageNameFontAt(6)->blue, 255);
    ASSERT_TRUE(document_.WalkTo(3));
    ASSERT_TRUE(document_.WalkTo(4));  // continues past the run in the middle
    EXPECT_STREQ(document_.Walker().text_font->font_name, "Times");
    EXPECT_EQ(document_.Walker().first, 4u);
    const WalkerState saved = document_.Walker();
    ASSERT_TRUE(document_.WalkTo(1));
    document_.SetWalker(saved);
    RichElement element;
    ASSERT_TRUE(document_.ElementAt(5, &element));
    EXPECT_EQ(element.character, 'e');
    EXPECT_EQ(document_.Walker().slice, saved.slice);
    EXPECT_TRUE(BlocksConsistent(document_));
}

// Loading the tagged and plain body texts: tabs, line ends, "<<", the image tag with its gaps, and
// what a malformed or refused tag leaves.
class BodyTextTest : public RichDocumentTest {
protected:
    void SetUp() override { document_.SetImagePort(host_.Port()); }

    // The document after loading, as text with images in brackets.
    std::string LoadTagged(const std::string& text) {
        document_.LoadTaggedBodyText(text.c_str());
        EXPECT_TRUE(BlocksConsistent(document_));
        return Text();
    }
};

TEST_F(BodyTextTest, TabsLineEndsAndDoubledAngles) {
    EXPECT_EQ(LoadTagged("a\tb\r\nc<<d\re"), "a     b\nc<de");
    document_.LoadPlainBodyText("<<x\ty<");
    EXPECT_STREQ(document_.ProduceTaggedBodyText(), "<<<<x     y<<");
    document_.LoadTaggedBodyText(nullptr);
    EXPECT_STREQ(document_.ProduceTaggedBodyText(), "");
}

TEST_F(BodyTextTest, TagsWithGapsWhereverAllowed) {
    EXPECT_EQ(LoadTagged("hi< ID = \"StpCat\"\r\n NAME\t=\t\"a <cat>\"W=12\nH=34 >!"), "hi[StpCat]!");
    EXPECT_STREQ(document_.ProduceTaggedBodyText(), "hi<ID=\"StpCat\" NAME=\"a <cat>\" W=12 H=34>!");
    RichElement element;
    ASSERT_TRUE(document_.ElementAt(3, &element));
    EXPECT_EQ(element.image->port, host_.Port());
    // Missing digits read as 0, and the size is then asked of the host.
    LoadTagged("<ID=\"StpDog\" NAME=\"dog\" W= H=>");
    EXPECT_STREQ(document_.ProduceTaggedBodyText(), "<ID=\"StpDog\" NAME=\"dog\" W=64 H=48>");
    LoadTagged("<ID=\"StpDog\" NAME=\"dog\" W=65535 H=007>");
    EXPECT_STREQ(document_.ProduceTaggedBodyText(), "<ID=\"StpDog\" NAME=\"dog\" W=65535 H=7>");
}

TEST_F(BodyTextTest, AMalformedTagLosesItsAngleAndTheNextByte) {
    struct Case { const char *text, *loaded; };
    const Case cases[] = {
        {"a<ID=\"\" NAME=\"x\" W=1 H=2>b", "aD=\"\" NAME=\"x\" W=1 H=2>b"},       // empty ID
        {"<ID=\"s\" NAME=\"\" W=1 H=2>", "D=\"s\" NAME=\"\" W=1 H=2>"},          // empty NAME
        {"<ID=\"s\" NAME=\"x\" W =1 H=2>", "D=\"s\" NAME=\"x\" W =1 H=2>"},      // gap before '='
        {"<ID=\"s\" NAME=\"x\" W=1 H=2", "D=\"s\" NAME=\"x\" W=1 H=2"},          // breaks off
        {"<ID=\"s\" NAME=\"x\" W=123456 H=2>", "D=\"s\" NAME=\"x\" W=123456 H=2>"},  // too many digits
        {"<ID=\"s\" NAME=\"x\" W=65536 H=2>", "D=\"s\" NAME=\"x\" W=65536 H=2>"},    // too large
        {"<ID=\"s\" NAME=\"x\" H=2 W=1>", "D=\"s\" NAME=\"x\" H=2 W=1>"},        // order
        {"<id=\"s\" NAME=\"x\" W=1 H=2>", "d=\"s\" NAME=\"x\" W=1 H=2>"},        // case
        {"<ID=\"s NAME=x W=1 H=2>", "D=\"s NAME=x W=1 H=2>"},                    // unclosed quote
        {"x<", "x"},
        {"<\r\nx", "\nx"},  // the dropped byte may be the carriage return
        {"<<<", "<"},
        {"<ab<<c", "b<c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadTagged(c.text), c.loaded) << c.text;
        EXPECT_EQ(document_.ImageCount(), 0u) << c.text;
    }
    EXPECT_TRUE(host_.Requests(0, code::kStart).empty());
}

TEST_F(BodyTextTest, TheRefusedImageTagIsLeftAsText) {
    std::string text;
    for (uint32_t i = 0; i < kRichMaximumImages; ++i) text += "<ID=\"StpSun\" NAME=\"sun\" W=9 H=9>";
    text += "<ID=\"StpSun\" NAME=\"sun\" W=9 H=9>end";
    document_.LoadTaggedBodyText(text.c_str());
    EXPECT_EQ(document_.ImageCount(), kRichMaximumImages);
    const std::string left = "D=\"StpSun\" NAME=\"sun\" W=9 H=9>end";
    EXPECT_EQ(document_.Length(), kRichMaximumImages + left.size());
    const std::string produced = document_.ProduceTaggedBodyText();
    EXPECT_EQ(produced.substr(produced.size() - left.size() - 1), ">" + left);
}

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
