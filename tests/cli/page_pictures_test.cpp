// Where a page's pictures stand in its words: harbor's page viewer draws each one at its offset.
#include <gtest/gtest.h>

#include "services/page_text.h"

namespace {

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
