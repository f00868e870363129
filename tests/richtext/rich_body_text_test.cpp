// Loading the tagged and plain body texts: tabs, line ends, "<<", the image tag with its gaps,
// and what a malformed or refused tag leaves.
#include <string>

#include <gtest/gtest.h>

#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "rich_test_support.h"

namespace wm::testing {
namespace {

class BodyTextTest : public ::testing::Test {
protected:
    void SetUp() override { document_.SetImagePort(host_.Port()); }

    // The document after loading, as text with images in brackets.
    std::string LoadTagged(const std::string& text) {
        document_.LoadTaggedBodyText(text.c_str());
        EXPECT_TRUE(BlocksConsistent(document_));
        return ToString(ReadElements(document_));
    }

    RichTestHost host_;
    RichDocument document_;
};

TEST_F(BodyTextTest, TabsLineEndsAndDoubledAngles) {
    EXPECT_EQ(LoadTagged("a\tb\r\nc<<d\re"), "a     b\nc<de");
    EXPECT_STREQ(document_.ProduceTaggedBodyText(), "a     b\r\nc<<de");
    EXPECT_STREQ(document_.ProducePlainBodyText(), "a     b\r\nc<de");
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
    struct Case {
        const char* text;
        const char* loaded;
    };
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
    // Loading what was produced gives the same document again.
    RichDocument again;
    again.LoadTaggedBodyText(produced.c_str());
    EXPECT_EQ(ReadElements(again), ReadElements(document_));
}

}  // namespace
}  // namespace wm::testing
