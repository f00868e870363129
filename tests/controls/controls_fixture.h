// Test support: every controls test runs against a fresh null host with the draw handlers' first
// answers already given, and checks that no control outlives it.
#ifndef WRENMAIL_TESTS_CONTROLS_CONTROLS_FIXTURE_H
#define WRENMAIL_TESTS_CONTROLS_CONTROLS_FIXTURE_H

#include <gtest/gtest.h>

#include "controls/control_atoms.h"
#include "controls/list_box_base.h"
#include "controls/scroll_bar.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "null_host.h"
#include "request_fields.h"

namespace wm::testing {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        scene_ = FetchAtom("Controls Test Scene");
        events_ = FetchAtom("Controls Test Events");
        host_.scenes.Attach(scene_);
        // The very first answer of each canvas port is special; tests about it reset the latch.
        PMListBoxBase::DrawAnswers().Reset();
        PMListBoxBase::DrawAnswers().CountRequest();
        PMScroll::DrawAnswers().Reset();
        PMScroll::DrawAnswers().CountRequest();
    }
    void TearDown() override {
        EXPECT_EQ(PMControlBase::LiveCount(), 0u) << "a test left a control alive";
        host_.Uninstall();
    }

    NullHost host_;
    uint16_t scene_;
    uint16_t events_;
};

inline EDict DrawRecord(uint16_t sprite, const void* canvas) {
    EDict record = Named(code::kDraw, sprite);
    if (canvas != nullptr) EDictPutPointer(&record, atoms::controls::Bitmap, canvas);
    return record;
}

}  // namespace wm::testing

#endif
