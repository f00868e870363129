// Edit text: limits and caret steps count characters, not bytes.
#include <gtest/gtest.h>

#include "scene/edit_text.h"

namespace {

using harbor::EditText;

TEST(SceneEditText, InsertStopsAtTheLimitOnACharacterBoundary) {
    EditText t(4);
    EXPECT_TRUE(t.Insert("ab"));
    EXPECT_TRUE(t.Insert("\xC3\xA9\xE2\x82\xAC\xC3\xBC"));  // é € ü: only two fit
    EXPECT_EQ(t.Text(), "ab\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(t.Length(), 4u);
    EXPECT_FALSE(t.Insert("x"));
    EXPECT_EQ(t.Masked(), "****");
}

TEST(SceneEditText, CaretStepsOverWholeCharacters) {
    EditText t;
    t.Set("a\xE2\x82\xAC" "b");  // a € b
    EXPECT_EQ(t.Caret(), 5u);
    EXPECT_TRUE(t.Left());
    EXPECT_TRUE(t.Left());
    EXPECT_EQ(t.Caret(), 1u);
    EXPECT_TRUE(t.Delete());
    EXPECT_EQ(t.Text(), "ab");
    EXPECT_TRUE(t.Right());
    EXPECT_TRUE(t.Backspace());
    EXPECT_EQ(t.Text(), "a");
    t.Home();
    EXPECT_FALSE(t.Backspace());
    EXPECT_FALSE(t.Left());
    t.End();
    EXPECT_FALSE(t.Delete());
    EXPECT_FALSE(t.Right());
}

TEST(SceneEditText, SetCutsToTheLimitAndAcceptsItsOwnText) {
    EditText t(3);
    t.Set("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(t.Length(), 3u);
    EXPECT_EQ(t.Text().size(), 6u);
    t.Set(t.Text().c_str() + 2);
    EXPECT_EQ(t.Text(), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(t.Caret(), 4u);
}

TEST(SceneEditText, StrayBytesAreSteppedOverSafely) {
    EditText t(2);
    t.Set("\x80\x80z\xC3");
    EXPECT_EQ(t.Length(), 2u);  // the leading continuation bytes count as none
    while (t.Backspace()) {
    }
    EXPECT_EQ(t.Text(), "");
}

}  // namespace
