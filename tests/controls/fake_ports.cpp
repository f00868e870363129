#include "fake_ports.h"

#include <string>

#include "controls/control_atoms.h"
#include "controls/list_box_base.h"
#include "controls/scroll_bar.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace wm::testing {
namespace {

struct HostState {
    std::vector<Delivery> log;
    bool refusing = false;
    int counter = 0;
};

HostState& State() {
    static HostState state;
    return state;
}

bool HXCALL AnswerResources(EDict* record) {
    if (EDictGetType(record) != code::kCreate) {
        return false;
    }
    HostState& state = State();
    EDictPutBool(record, atoms::STATUS, !state.refusing);
    const std::string name = "Fake Resource " + std::to_string(++state.counter);
    EDictPutShort(record, atoms::NAME, FetchAtom(name.c_str()));
    return true;
}

void Trace(int event, uint16_t port, const EDict* record, int32_t, void*) {
    if (event == HxTraceDeliver) {
        return;
    }
    State().log.push_back(Delivery{port, *record, event == HxTracePost});
}

std::vector<Delivery> Select(uint16_t port, uint16_t type, bool posted_only) {
    std::vector<Delivery> found;
    for (const Delivery& d : State().log) {
        if (d.port == port && EDictGetType(&d.record) == type && (!posted_only || d.posted)) {
            found.push_back(d);
        }
    }
    return found;
}

}  // namespace

void FakeHost::Install() {
    HxReset();
    State().log.clear();
    State().refusing = false;
    HxPortAttach(atoms::ResPort, &AnswerResources);
    HxSetTraceHook(&Trace, nullptr);
}

void FakeHost::Uninstall() {
    HxSetTraceHook(nullptr, nullptr);
    HxReset();
}

void FakeHost::SetRefusing(bool refusing) { State().refusing = refusing; }
std::vector<Delivery>& FakeHost::Log() { return State().log; }
void FakeHost::ClearLog() { State().log.clear(); }

std::vector<Delivery> FakeHost::To(uint16_t port, uint16_t type) {
    return Select(port, type, false);
}

std::vector<Delivery> FakeHost::Posted(uint16_t port, uint16_t type) {
    return Select(port, type, true);
}

void ControlsTest::SetUp() {
    FakeHost::Install();
    scene_ = FetchAtom("Controls Test Scene");
    events_ = FetchAtom("Controls Test Events");
    // The very first answer of each canvas port is special; tests about it reset the latch.
    PMListBoxBase::DrawAnswers().Reset();
    PMListBoxBase::DrawAnswers().CountRequest();
    PMScroll::DrawAnswers().Reset();
    PMScroll::DrawAnswers().CountRequest();
}

void ControlsTest::TearDown() {
    EXPECT_EQ(PMControlBase::LiveCount(), 0u) << "a test left a control alive";
    FakeHost::Uninstall();
}

EDict Record(uint16_t type, uint32_t time) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    record.time = time;
    return record;
}

EDict DrawRecord(uint16_t sprite, const void* canvas) {
    EDict record = Record(code::kDraw);
    EDictPutShort(&record, atoms::NAME, sprite);
    if (canvas != nullptr) {
        EDictPutPointer(&record, atoms::controls::Bitmap, canvas);
    }
    return record;
}

}  // namespace wm::testing
