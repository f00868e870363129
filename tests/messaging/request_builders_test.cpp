// Outcome checks of the text requests against the null host's scene service; the other builders'
// records, and the cleaning of edit texts, are checked where screens use them and by the driver
// sessions.
#include "messaging/request_builders.h"

#include <gtest/gtest.h>

#include "messaging/name_atoms.h"
#include "null_host.h"

namespace {

class TextRequests : public ::testing::Test {
protected:
    void SetUp() override { host_.Install(); }

    NullHost host_;
    const uint16_t scene_ = atoms::ports::ScWrWrite;
    const uint16_t field_ = wm::FetchAtom("EdtTestField");
};

TEST_F(TextRequests, TextGetsReturnTheSceneAnswerAndNullWithoutOne) {
    host_.scenes.editTexts[field_] = "kid@example";
    host_.scenes.spriteTexts[field_] = "a sprite";
    EXPECT_STREQ(wm::GetEditText(scene_, field_), "kid@example");
    EXPECT_STREQ(wm::GetSpriteText(scene_, field_), "a sprite");
    EXPECT_EQ(wm::GetSpriteText(wm::FetchAtom("NoSuchScene"), field_), nullptr);
    EXPECT_EQ(wm::GetEditText(wm::FetchAtom("NoSuchScene"), field_), nullptr);
}

}  // namespace
