// The addresses of the settings' Sign Me Up and Parents buttons: pages shipped in the content
// folder become file addresses a browser opens, and harbor's own viewer reads their words and
// where their pictures stand.
#include <gtest/gtest.h>

#include "harbor_test_support.h"
#include "services/page_text.h"
#include "services/web_address.h"

namespace {

using harbor_test::ReadFile;

TEST(WebAddressTest, APageOfTheContentFolderBecomesAFileAddressAndBack) {
    const std::string page = harbor::ResolveAddress("pages/a page é.html", "/opt/wren mail/content");
    EXPECT_EQ(page, "file:///opt/wren%20mail/content/pages/a%20page%20%C3%A9.html");
    EXPECT_EQ(harbor::LocalFile(page), "/opt/wren mail/content/pages/a page é.html");
    for (const char* kept : {"https://example.org/signup", "mailto:gran@example.org", "file:///tmp/x.html", ""}) {
        EXPECT_EQ(harbor::ResolveAddress(kept, "/c"), kept);
    }
    EXPECT_EQ(harbor::LocalFile("https://example.org/x"), "");
    EXPECT_EQ(harbor::LocalFile("file:///a%2"), "/a%2");  // a cut escape stays as written
}

TEST(WebAddressTest, TheDefaultSettingsOpenPagesShippedWithTheProgram) {
    const std::filesystem::path content = HARBOR_CONTENT_DIR;
    const std::string settings = ReadFile(content / "WNSettings.dct");
    for (const char* key : {"\"SIGNUPURL\": \"", "\"PARENTURL\": \""}) {
        const std::size_t at = settings.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        const std::size_t start = at + std::string(key).size();
        const std::string address = settings.substr(start, settings.find('"', start) - start);
        const std::filesystem::path file = harbor::LocalFile(harbor::ResolveAddress(address, content));
        ASSERT_TRUE(std::filesystem::is_regular_file(file)) << address;
        const harbor::PageText words = harbor::ReadPageText(ReadFile(file));
        EXPECT_FALSE(words.title.empty()) << address;
        EXPECT_NE(words.text.find("harbor account add"), std::string::npos) << address;
        EXPECT_EQ(words.text.find('<'), std::string::npos) << address;
    }
}

TEST(PageTextTest, KeepsWhatAPersonReadsAndSurvivesBrokenPages) {
    const harbor::PageText page = harbor::ReadPageText(
        "<html><head><title>T</title><style>p { color: red }</style></head><body>"
        "<h1>Hello &amp; welcome</h1><p>One   two\nthree</p><ul><li>a</li><li>b</li></ul>"
        "<pre>x  y\nz</pre><script>alert(1)</script><p>fish &chips; &lt;ok&gt;</p></body></html>");
    EXPECT_EQ(page.title, "Hello & welcome");
    EXPECT_EQ(page.text, "One two three\n\n• a\n• b\n\nx  y\nz\n\nfish &chips; <ok>");
    EXPECT_EQ(harbor::ReadPageText("<title>Only</title>plain").title, "Only");
    EXPECT_EQ(harbor::ReadPageText("text <b unclosed").text, "text");
    EXPECT_EQ(harbor::ReadPageText("<!-- never closed").text, "");
    EXPECT_EQ(harbor::ReadPageText("<style>never closed <p>x").text, "");
}

// Where a page's pictures stand in its words: harbor's page viewer draws each one at its offset.
TEST(PagePicturesTest, EachPictureStandsBeforeTheWordsThatFollowIt) {
    const harbor::PageText page = harbor::ReadPageText(
        "<header><img src=\"../art/splash.svg\" alt=\"a wren\"></header><h1><img src=title.svg>Hi</h1>"
        "<p>First words.</p><h2><img class=x SRC='stamps/bird.svg' alt=''>1. Make</h2><p>Then &amp; more"
        "<img alt=\"no source\"><img src=end.svg/></p>");
    EXPECT_EQ(page.title, "Hi");
    EXPECT_EQ(page.text, "First words.\n\n1. Make\n\nThen & more");
    ASSERT_EQ(page.pictures.size(), 3U);  // the title's picture and one without a source are left out
    EXPECT_EQ(page.pictures[0].source, "../art/splash.svg");
    EXPECT_EQ(page.pictures[0].offset, 0U);  // the blanks trimmed from the front move it back
    EXPECT_FALSE(page.pictures[0].icon);
    EXPECT_EQ(page.pictures[1].source, "stamps/bird.svg");
    EXPECT_EQ(page.text.substr(page.pictures[1].offset), "1. Make\n\nThen & more");
    EXPECT_TRUE(page.pictures[1].icon);
    EXPECT_EQ(page.pictures[2].source, "end.svg");
    EXPECT_EQ(page.pictures[2].offset, page.text.size());
    EXPECT_FALSE(page.pictures[2].icon);
}

TEST(PagePicturesTest, BrokenPictureTagsLeaveOffsetsInsideTheText) {
    for (const char* html : {"<img src=", "<img src=\"never closed", "  <p> <img src=a.svg>  </p>  ", "<img   src = b.svg >x"}) {
        const harbor::PageText page = harbor::ReadPageText(html);
        for (const harbor::PagePicture& picture : page.pictures) EXPECT_LE(picture.offset, page.text.size()) << html;
    }
    EXPECT_EQ(harbor::ReadPageText("<img   src = b.svg >x").pictures.at(0).source, "b.svg");
    EXPECT_TRUE(harbor::ReadPageText("<img srcset=a.svg>").pictures.empty());
}

}  // namespace
