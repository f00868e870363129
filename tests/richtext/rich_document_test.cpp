// The document's storage, editing, host messages, classes and walker, case by case.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"
#include "rich_checks.h"
#include "rich_test_host.h"
#include "richtext/rich_document.h"

namespace wm::testing {
namespace {

int CountNodes(const NodeList& list) {
    int count = 0;
    for (RichNode* node = list.head; node != nullptr; node = node->next) ++count;
    return count;
}

void Type(RichDocument& document, uint32_t position, const std::string& text) {
    for (char c : text) ASSERT_TRUE(document.InsertCharacter(position++, c));
}

std::string Text(RichDocument& document) {
    return ToString(ReadElements(document));
}

class RichDocumentTest : public ::testing::Test {
protected:
    bool AddImage(uint32_t position, const char* id, const char* name, uint16_t width = 40, uint16_t height = 30) {
        return document_.InsertImage(position, host_.Port(), FetchAtom(id), name, width, height);
    }

    RichTestHost host_;
    RichDocument document_;
};

TEST_F(RichDocumentTest, TypingAtTheEndFillsBlocksInPlace) {
    EXPECT_TRUE(document_.Modified());
    EXPECT_EQ(document_.ChangePosition(), 1u);
    Type(document_, 1, std::string(300, 'x'));
    EXPECT_EQ(document_.Length(), 300u);
    EXPECT_EQ(CountNodes(document_.CharBlocks()), 2);
    // 254 in the first block, 46 in the second: one slice each.
    ASSERT_EQ(CountNodes(document_.Runs()), 2);
    EXPECT_EQ(AsSlice(document_.Runs().head)->count, 254);
    EXPECT_EQ(AsSlice(document_.Runs().tail)->count, 46);
    ASSERT_EQ(CountNodes(document_.FreeTextSpace()), 1);
    EXPECT_EQ(AsSlice(document_.FreeTextSpace().head)->count, 208);
    EXPECT_TRUE(BlocksConsistent(document_));
    EXPECT_EQ(document_.ChangePosition(), 300u);
}

TEST_F(RichDocumentTest, TypingInTheMiddleSplitsOnceThenGrows) {
    Type(document_, 1, "hello world");
    Type(document_, 6, ",");
    EXPECT_EQ(Text(document_), "hello, world");
    EXPECT_EQ(CountNodes(document_.Runs()), 3);
    Type(document_, 7, " dear");
    EXPECT_EQ(Text(document_), "hello, dear world");
    EXPECT_EQ(CountNodes(document_.Runs()), 3);
    Type(document_, 1, ">");
    EXPECT_EQ(Text(document_), ">hello, dear world");
    EXPECT_EQ(CountNodes(document_.Runs()), 4);
    EXPECT_TRUE(BlocksConsistent(document_));
    EXPECT_EQ(document_.ChangePosition(), 1u);
}

TEST_F(RichDocumentTest, InsertionsOutsideTheTextOrBeyondTheMaximumAreRefused) {
    EXPECT_FALSE(document_.InsertCharacter(0, 'a'));
    EXPECT_FALSE(document_.InsertCharacter(2, 'a'));
    document_.SetMaximumLength(3);
    Type(document_, 1, "ab");
    EXPECT_FALSE(document_.InsertCharacter(3, 'c'));
    EXPECT_FALSE(AddImage(3, "StpCat", "cat"));
    EXPECT_TRUE(document_.InsertCharacter(2, 'c'));
    EXPECT_EQ(Text(document_), "acb");
    EXPECT_TRUE(host_.OfType(code::kStart).empty());
}

TEST_F(RichDocumentTest, TheTaggedTextOfTheFiveElementExample) {
    Type(document_, 1, "a<b\n");
    ASSERT_TRUE(AddImage(5, "StpCat", "a cat"));
    const std::string tagged = document_.ProduceTaggedBodyText();
    EXPECT_EQ(tagged, "a<<b\r\n<ID=\"StpCat\" NAME=\"a cat\" W=40 H=30>");
    EXPECT_EQ(std::string(document_.ProducePlainBodyText()), "a<b\r\na cat");
    RichDocument loaded;
    loaded.LoadTaggedBodyText(tagged.c_str());
    EXPECT_EQ(loaded.Length(), 5u);
    EXPECT_EQ(loaded.ImageCount(), 1u);
    EXPECT_EQ(ReadElements(loaded), ReadElements(document_));
}

TEST_F(RichDocumentTest, InsertingAnImageCreatesAStillHiddenInstance) {
    const int before = RichDocument::ImageInstanceCounter();
    ASSERT_TRUE(AddImage(1, "StpCat", "cat", 0, 30));
    // A missing size is asked of the host first; its answer replaces both dimensions.
    const auto asks = host_.OfType(code::kGetRect);
    ASSERT_EQ(asks.size(), 1u);
    EXPECT_EQ(EDictGetShort(&asks[0].record, atoms::NAME), FetchAtom("StpCat"));
    EXPECT_EQ(EDictGetShort(&asks[0].record, atoms::KIND), atoms::SP_GENERAL);
    EXPECT_TRUE(EDictHasKey(&asks[0].record, atoms::layout::NOTIFY));
    EXPECT_FALSE(EDictGetBool(&asks[0].record, atoms::layout::NOTIFY));

    const uint16_t instance = FetchAtom(("image" + std::to_string(before)).c_str());
    const auto starts = host_.OfType(code::kStart);
    ASSERT_EQ(starts.size(), 1u);
    const EDict& start = starts[0].record;
    EXPECT_EQ(starts[0].port, host_.Port());
    EXPECT_FALSE(starts[0].posted);
    EXPECT_EQ(EDictGetShort(&start, atoms::SPRITENAME), FetchAtom("StpCat"));
    EXPECT_EQ(EDictGetShort(&start, atoms::INAME), instance);
    EXPECT_EQ(EDictGetLong(&start, atoms::X), 0);
    EXPECT_EQ(EDictGetLong(&start, atoms::Y), 0);
    EXPECT_EQ(EDictGetLong(&start, atoms::Z), 10);
    EXPECT_FALSE(EDictGetBool(&start, atoms::VISIBLE));
    EXPECT_TRUE(EDictHasKey(&start, atoms::VISIBLE));
    const auto effects = host_.OfType(code::kSetEffect);
    ASSERT_EQ(effects.size(), 1u);
    EXPECT_EQ(EDictGetShort(&effects[0].record, atoms::NAME), instance);
    EXPECT_EQ(EDictGetShort(&effects[0].record, atoms::FX), FetchAtom("Still"));

    RichElement element;
    ASSERT_TRUE(document_.ElementAt(1, &element));
    ASSERT_TRUE(element.is_image);
    EXPECT_EQ(element.image->sprite, instance);
    EXPECT_EQ(element.image->width, kHostWidth);
    EXPECT_EQ(element.image->height, kHostHeight);
    EXPECT_STREQ(element.image->record->width_text, "64");

    // The next instance takes the next number, whatever document makes it.
    RichDocument other;
    ASSERT_TRUE(other.InsertImage(1, host_.Port(), FetchAtom("StpDog"), "dog", 5, 5));
    EXPECT_EQ(RichDocument::ImageInstanceCounter(), before + 2);
    EXPECT_EQ(EDictGetShort(&host_.OfType(code::kStart).back().record, atoms::INAME),
              FetchAtom(("image" + std::to_string(before + 1)).c_str()));
}

TEST_F(RichDocumentTest, ImagesOfOneSourceShareTheFirstRecord) {
    ASSERT_TRUE(AddImage(1, "StpDog", "a dog", 40, 30));
    ASSERT_TRUE(AddImage(2, "StpDog", "another dog", 99, 99));
    ASSERT_TRUE(AddImage(3, "StpAnt", "ant"));
    ASSERT_TRUE(AddImage(4, "StpZoo", "zoo"));
    ASSERT_TRUE(AddImage(5, "StpCat", "cat"));
    EXPECT_EQ(std::string(document_.ProducePlainBodyText()), "a doga dogantzoocat");
    // Sorted by ID name, larger first.
    std::string order;
    for (RichNode* node = document_.ImageRecords().head; node != nullptr; node = node->next) {
        order += static_cast<ImageInfo*>(node)->id_name + std::string(" ");
    }
    EXPECT_EQ(order, "StpZoo StpDog StpCat StpAnt ");
    RichElement second;
    ASSERT_TRUE(document_.ElementAt(2, &second));
    EXPECT_STREQ(second.image->record->name_text, "a dog");
    EXPECT_EQ(second.image->width, 99);  // the slot keeps its own size
    EXPECT_NE(std::string(document_.ProduceTaggedBodyText()).find("NAME=\"a dog\" W=40 H=30><ID=\"StpDog\" NAME=\"a dog\" W=40"),
              std::string::npos);
}

TEST_F(RichDocumentTest, The151stImageIsRefusedWithoutAWordToTheHost) {
    for (uint32_t i = 1; i <= kRichMaximumImages; ++i) ASSERT_TRUE(AddImage(i, "StpSun", "sun"));
    EXPECT_EQ(CountNodes(document_.ImageBlocks()), 1);
    host_.Clear();
    EXPECT_FALSE(AddImage(1, "StpSun", "sun"));
    EXPECT_FALSE(AddImage(151, "StpSun", "sun", 0, 0));
    EXPECT_TRUE(host_.All().empty());
    EXPECT_EQ(document_.ImageCount(), kRichMaximumImages);
    // Characters are still welcome.
    EXPECT_TRUE(document_.InsertCharacter(151, '!'));
    document_.DeleteRange(3, 3);
    EXPECT_TRUE(AddImage(1, "StpSun", "sun"));
}

TEST_F(RichDocumentTest, DeletingAnImagePostsOneDeletionOfItsInstance) {
    Type(document_, 1, "ab");
    ASSERT_TRUE(AddImage(2, "StpCat", "cat"));
    RichElement element;
    ASSERT_TRUE(document_.ElementAt(2, &element));
    const uint16_t sprite = element.image->sprite;
    host_.Clear();
    document_.DeleteRange(2, 2);
    const auto deletions = host_.OfType(code::kDelete);
    ASSERT_EQ(deletions.size(), 1u);
    EXPECT_TRUE(deletions[0].posted);
    EXPECT_EQ(deletions[0].port, host_.Port());
    EXPECT_EQ(EDictGetShort(&deletions[0].record, atoms::NAME), sprite);
    EXPECT_EQ(document_.ImageCount(), 0u);
    EXPECT_EQ(Text(document_), "ab");
    EXPECT_EQ(document_.ChangePosition(), 2u);
    // The freed slot holds no instance any more: a reset posts nothing for it.
    host_.Clear();
    document_.Reset();
    EXPECT_TRUE(host_.OfType(code::kDelete).empty());
}

TEST_F(RichDocumentTest, ResetDeletesTheInstancesStillInTheText) {
    ASSERT_TRUE(AddImage(1, "StpCat", "cat"));
    ASSERT_TRUE(AddImage(2, "StpDog", "dog"));
    host_.Clear();
    document_.LoadPlainBodyText("fresh");
    EXPECT_EQ(host_.OfType(code::kDelete).size(), 2u);
    EXPECT_EQ(Text(document_), "fresh");
    EXPECT_TRUE(document_.ImageRecords().Empty());
    EXPECT_TRUE(document_.ImageBlocks().Empty());
}

TEST_F(RichDocumentTest, DeletingTheOnlyElementResetsTheDocument) {
    ASSERT_TRUE(AddImage(1, "StpCat", "cat"));
    document_.SetModified(false);
    document_.DeleteRange(1, 1);
    EXPECT_EQ(document_.Length(), 0u);
    EXPECT_EQ(document_.ImageCount(), 0u);
    EXPECT_TRUE(document_.Modified());
    EXPECT_TRUE(document_.Runs().Empty());
    EXPECT_TRUE(document_.ImageBlocks().Empty());
    EXPECT_TRUE(document_.ImageRecords().Empty());
    // Deleting from an empty document does nothing.
    document_.DeleteRange(1, 5);
    EXPECT_EQ(document_.Length(), 0u);
}

TEST_F(RichDocumentTest, DeletingCutsSlicesAtBothEndsAndInTheMiddle) {
    Type(document_, 1, "abcdefgh");
    Type(document_, 5, "XYZ");  // abcdXYZefgh, three slices
    document_.DeleteRange(3, 9);  // across all three: cut, whole, cut
    EXPECT_EQ(Text(document_), "abgh");
    EXPECT_TRUE(BlocksConsistent(document_));
    document_.DeleteRange(0, 2);  // clamped to the text
    EXPECT_EQ(Text(document_), "gh");
    document_.DeleteRange(2, 99);
    EXPECT_EQ(Text(document_), "g");

    RichDocument full;
    Type(full, 1, std::string(254, 'z'));
    full.DeleteRange(10, 20);  // strictly inside the one slice
    EXPECT_EQ(CountNodes(full.Runs()), 2);
    EXPECT_TRUE(BlocksConsistent(full));
    // The space given back is used again before any new block.
    Type(full, 244, std::string(11, 'y'));
    EXPECT_EQ(CountNodes(full.CharBlocks()), 1);
    EXPECT_EQ(Text(full), std::string(243, 'z') + std::string(11, 'y'));
    EXPECT_TRUE(BlocksConsistent(full));
}

TEST_F(RichDocumentTest, ClassesAndWordEnds) {
    Type(document_, 1, "ab c\n");
    ASSERT_TRUE(AddImage(6, "StpCat", "cat"));
    ASSERT_TRUE(AddImage(2, "StpDog", "dog"));  // a[dog]b c\n[cat]
    ASSERT_TRUE(document_.InsertCharacter(8, '\0'));
    Type(document_, 9, "d");  // a[dog]b c\n[cat]\0d
    Classification result;
    ASSERT_TRUE(document_.Classify(1, &result));
    EXPECT_EQ(result.element_class, ElementClass::Word);
    EXPECT_EQ(result.end, 3u);  // an image after a word character belongs to the word
    ASSERT_TRUE(document_.Classify(2, &result));
    EXPECT_EQ(result.element_class, ElementClass::Image);
    EXPECT_EQ(result.end, 2u);
    ASSERT_TRUE(document_.Classify(4, &result));
    EXPECT_EQ(result.element_class, ElementClass::Space);
    ASSERT_TRUE(document_.Classify(6, &result));
    EXPECT_EQ(result.element_class, ElementClass::LineFeed);
    ASSERT_TRUE(document_.Classify(8, &result));
    EXPECT_EQ(result.element_class, ElementClass::Space);  // NUL counts as a space
    ASSERT_TRUE(document_.Classify(9, &result));
    EXPECT_EQ(result.end, 9u);
    EXPECT_EQ(result.state.first, 8u);  // the NUL and the d share one slice
    EXPECT_EQ(result.state.last, 9u);
    EXPECT_FALSE(document_.Classify(10, &result));
    EXPECT_FALSE(document_.Classify(0, &result));
}

TEST_F(RichDocumentTest, WordStartsForTheCursor) {
    Type(document_, 1, "one  two\nthree");
    // 1..3 "one", 4..5 spaces, 6..8 "two", 9 line feed, 10..14 "three"
    EXPECT_EQ(document_.NextWordStart(1), 6u);
    EXPECT_EQ(document_.NextWordStart(4), 6u);
    EXPECT_EQ(document_.NextWordStart(6), 10u);
    EXPECT_EQ(document_.NextWordStart(12), 15u);
    EXPECT_EQ(document_.NextWordStart(15), 15u);
    EXPECT_EQ(document_.PreviousWordStart(15), 10u);
    EXPECT_EQ(document_.PreviousWordStart(10), 6u);
    EXPECT_EQ(document_.PreviousWordStart(7), 6u);
    EXPECT_EQ(document_.PreviousWordStart(6), 1u);
    EXPECT_EQ(document_.PreviousWordStart(2), 1u);
    EXPECT_EQ(document_.PreviousWordStart(1), 1u);
    RichDocument spaces;
    Type(spaces, 1, "   a");
    EXPECT_EQ(spaces.PreviousWordStart(3), 1u);
    EXPECT_EQ(spaces.NextWordStart(1), 4u);
    RichDocument empty;
    EXPECT_EQ(empty.NextWordStart(1), 1u);
    EXPECT_EQ(empty.PreviousWordStart(5), 5u);
}

// Measures every font's "M" as its size and a half high.
class MetricCanvas : public CanvasInterface {
public:
    void HXCALL PenPosition(float* x, float* y) override { *x = *y = 0; }
    void HXCALL GetSize(int32_t* w, int32_t* h) override { *w = *h = 0; }
    CanvasSize HXCALL Size() override { return {0, 0}; }
    void HXCALL LineTo(float, float) override {}
    void HXCALL MoveTo(float, float) override {}
    void HXCALL Rectangle(float, float, float, float) override {}
    void HXCALL SetPenWidth(float) override {}
    void HXCALL SetColor(uint8_t, uint8_t, uint8_t) override {}
    void HXCALL DrawText(const char*) override {}
    void HXCALL MeasureText(const char*, float* w, float* h) override {
        *w = 1;
        *h = static_cast<float>(size_) * 1.5f;
    }
    void HXCALL MeasureTextInt(const char*, int32_t* w, int32_t* h) override { *w = *h = 0; }
    void HXCALL Stroke() override {}
    void HXCALL Fill() override {}
    void HXCALL SelectFont(const char* name, int32_t, int32_t size) override {
        font_ = name;
        size_ = size;
    }
    std::string font_;
    int32_t size_ = 0;
};

TEST_F(RichDocumentTest, FontRunsAndTheWalker) {
    MetricCanvas canvas;
    EXPECT_FALSE(document_.InsertFontRun(1, RichKind::TextFont, "Comic Sans MS", 24.0f, 0, 0, 0, 0, &canvas));
    Type(document_, 1, "abcdef");
    document_.SetModified(false);
    EXPECT_EQ(document_.FindTextFontAt(1), nullptr);
    ASSERT_TRUE(document_.InsertFontRun(1, RichKind::TextFont, "Comic Sans MS", 24.0f, 0, 0, 0, 0, &canvas));
    ASSERT_TRUE(document_.InsertFontRun(1, RichKind::ImageNameFont, "Comic Sans MS", 24.0f, 0, 0, 0, 255, &canvas));
    EXPECT_FALSE(document_.Modified());
    EXPECT_FALSE(document_.InsertFontRun(1, RichKind::TextSlice, "x", 1.0f, 0, 0, 0, 0, &canvas));
    FontRun* text_font = document_.FindTextFontAt(1);
    ASSERT_NE(text_font, nullptr);
    EXPECT_STREQ(text_font->font_name, "Comic Sans MS");
    EXPECT_FLOAT_EQ(text_font->metric, 36.0f);
    EXPECT_EQ(canvas.font_, "Comic Sans MS");
    ASSERT_NE(document_.FindImageNameFontAt(6), nullptr);
    EXPECT_EQ(document_.FindImageNameFontAt(6)->blue, 255);
    // A run inside a slice splits it; the text is unchanged and the walker passes the run.
    ASSERT_TRUE(document_.InsertFontRun(4, RichKind::TextFont, "Times", 12.0f, 0, 1, 2, 3, nullptr));
    EXPECT_EQ(Text(document_), "abcdef");
    EXPECT_EQ(document_.FindTextFontAt(3), text_font);
    ASSERT_TRUE(document_.WalkTo(3));
    EXPECT_EQ(document_.Walker().text_font, text_font);
    ASSERT_TRUE(document_.WalkTo(4));
    EXPECT_STREQ(document_.Walker().text_font->font_name, "Times");
    EXPECT_EQ(document_.Walker().first, 4u);
    EXPECT_EQ(document_.Walker().last, 6u);
    // A saved state resumes where it was taken.
    const WalkerState saved = document_.Walker();
    ASSERT_TRUE(document_.WalkTo(1));
    document_.SetWalker(saved);
    RichElement element;
    ASSERT_TRUE(document_.ElementAt(5, &element));
    EXPECT_EQ(element.character, 'e');
    EXPECT_EQ(document_.Walker().slice, saved.slice);
    EXPECT_FALSE(document_.WalkTo(7));
    EXPECT_TRUE(BlocksConsistent(document_));
}

TEST_F(RichDocumentTest, HidingSendsVisibleFalseForEveryImage) {
    ASSERT_TRUE(AddImage(1, "StpCat", "cat"));
    Type(document_, 2, "and");
    ASSERT_TRUE(AddImage(5, "StpDog", "dog"));
    host_.Clear();
    document_.HideImageSprites();
    const auto sets = host_.OfType(code::kSet);
    ASSERT_EQ(sets.size(), 2u);
    for (const Traced& set : sets) {
        EXPECT_FALSE(set.posted);
        EXPECT_TRUE(EDictHasKey(&set.record, atoms::VISIBLE));
        EXPECT_FALSE(EDictGetBool(&set.record, atoms::VISIBLE));
    }
}

}  // namespace
}  // namespace wm::testing
