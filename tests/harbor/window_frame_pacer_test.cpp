// When the window paints and how long it sleeps: a change on the stack paints at once, a
// visible animation paints every frame, a focused field often enough for its caret, and the loop
// never sleeps past the next due post.
#include <gtest/gtest.h>

#include "scene_test_support.h"
#include "window/frame_pacer.h"

namespace {

using harbor::FramePacer;
using harbor::Motion;
using harbor_test::Req;
using scene_test::A;

class FramePacerTest : public scene_test::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        StartInMain();
    }
};

// What moves on the stage, and a change on it due at once.
TEST_F(FramePacerTest, WhatMovesOnTheStageAndAChangeOnTheStackIsDueAtOnce) {
    EXPECT_EQ(harbor::MotionOf(*service_), Motion::Still);
    Req(30052).Name("EdtTsName").Bool("FOCUS", true).SendTo(A("ScTsMain"));
    EXPECT_EQ(harbor::MotionOf(*service_), Motion::Caret);
    Req(30013).Atom("SPRITENAME", "AniCoDialog").SendTo(A("ScTsMain"));
    EXPECT_EQ(harbor::MotionOf(*service_), Motion::Animating);
    Req(30059).Name("AniCoDialog").SendTo(A("ScTsMain"));
    Req(30059).Name("EdtTsName").SendTo(A("ScTsMain"));  // a hidden field shows no caret
    EXPECT_EQ(harbor::MotionOf(*service_), Motion::Still);

    FramePacer pacer;
    const harbor::StageSignature first = harbor::SignatureOf(*service_);
    EXPECT_TRUE(pacer.Due(first, Motion::Still, 0));  // nothing painted yet
    pacer.Painted(first, 0);
    EXPECT_FALSE(pacer.Due(first, Motion::Still, 100000));

    Req(30052).Name("BtnTsGo").Bool("VISIBLE", true).SendTo(A("ScTsMain"));  // any change raises the scene's revision
    EXPECT_TRUE(pacer.Due(harbor::SignatureOf(*service_), Motion::Still, 1));

    service_->ShowScene(A("ScTsOver"));  // another scene on the stack
    const harbor::StageSignature over = harbor::SignatureOf(*service_);
    ASSERT_EQ(over.size(), 2u);
    EXPECT_TRUE(pacer.Due(over, Motion::Still, 1));
    pacer.Painted(over, 1);
    EXPECT_FALSE(pacer.Due(over, Motion::Still, 2));
    pacer.Invalidate();  // exposed or resized
    EXPECT_TRUE(pacer.Due(over, Motion::Still, 2));
}

TEST_F(FramePacerTest, FramesFollowTheMotionAndTheLoopWakesForTheNextPost) {
    FramePacer pacer;
    pacer.Painted({}, 1000);
    EXPECT_FALSE(pacer.Due({}, Motion::Animating, 1000 + harbor::kAnimationFrameMs - 1));
    EXPECT_TRUE(pacer.Due({}, Motion::Animating, 1000 + harbor::kAnimationFrameMs));
    EXPECT_FALSE(pacer.Due({}, Motion::Caret, 1000 + harbor::kAnimationFrameMs));
    EXPECT_TRUE(pacer.Due({}, Motion::Caret, 1000 + harbor::kCaretFrameMs));
    EXPECT_EQ(pacer.WaitMs(Motion::Still, 1000, -1), harbor::kLongestWaitMs);
    EXPECT_EQ(pacer.WaitMs(Motion::Still, 1000, 40), 40u);
    EXPECT_EQ(pacer.WaitMs(Motion::Still, 1000, 0), 0u);
    EXPECT_EQ(pacer.WaitMs(Motion::Animating, 1005, -1), harbor::kAnimationFrameMs - 5);
    EXPECT_EQ(pacer.WaitMs(Motion::Animating, 1005, 3), 3u);
    EXPECT_EQ(pacer.WaitMs(Motion::Animating, 1100, 50), 0u);  // a frame is overdue
    EXPECT_EQ(pacer.WaitMs(Motion::Caret, 1000, -1), harbor::kCaretFrameMs);
}

}  // namespace
