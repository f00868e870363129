#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/control_base.h"
#include "controls_fixture.h"
#include "hxmsg.h"

namespace wm::testing {
namespace {

// A control that owns one sprite and writes down what reaches it.
class ProbeControl : public PMControlBase {
public:
    ProbeControl(uint16_t sprite, uint16_t scene, uint16_t events, std::vector<std::string>* calls)
        : PMControlBase(10, 20, 100, 50, scene, events), sprite_(sprite), calls_(calls) {
        SetRoutable(true);
    }

    bool OwnsSprite(uint16_t atom) const override { return atom == sprite_; }
    void Show() override {}
    void Hide() override {}
    bool MouseDown(int32_t x, int32_t y, bool shift, bool ctrl) override { return Note("down", x, y, shift, ctrl); }
    bool MouseUp(int32_t x, int32_t y, bool shift, bool ctrl) override { return Note("up", x, y, shift, ctrl); }
    bool MouseMove(int32_t x, int32_t y) override { return Note("move", x, y, false, false); }
    bool Key(int32_t key, bool shift, bool ctrl) override { return Note("key", key, 0, shift, ctrl); }
    void Message(EDict* record) override {
        calls_->push_back(Name() + " message " + std::to_string(EDictGetType(record)));
    }

private:
    std::string Name() const { return DaNameGetString(sprite_); }
    bool Note(const char* what, int32_t a, int32_t b, bool shift, bool ctrl) {
        calls_->push_back(Name() + " " + what + " " + std::to_string(a) + " " + std::to_string(b) +
                          (shift ? " shift" : "") + (ctrl ? " ctrl" : ""));
        return true;
    }

    uint16_t sprite_;
    std::vector<std::string>* calls_;
};

using Calls = std::vector<std::string>;

class ControlBaseTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        first_ = FetchAtom("first");
        second_ = FetchAtom("second");
    }

    void Send(EDict record) { HxPortSend(events_, &record); }
    void Press(uint16_t sprite) { Send(Named(code::kPress, sprite)); }
    void MoveTo(int32_t x, int32_t y) { Send(AtPoint(Record(code::kPointerMoved), x, y)); }
    void SendKey(int32_t key, int32_t shift, int32_t ctrl) {
        EDict record = Record(code::kKeyPressed);
        EDictPutLong(&record, atoms::ALTKEY, 0);
        EDictPutLong(&record, atoms::SHIFTKEY, shift);
        EDictPutLong(&record, atoms::CTLKEY, ctrl);
        EDictPutLong(&record, atoms::KEY, key);
        HxPortSend(atoms::KeyboardPort, &record);
    }

    uint16_t first_ = 0;
    uint16_t second_ = 0;
    std::vector<std::string> calls_;
};

TEST_F(ControlBaseTest, KeyboardAndTimerPortsAreAttachedWhileAnyControlLives) {
    EDict tick = Record(code::kTick);
    EXPECT_FALSE(HxPortSend(atoms::TimerPortTick, &tick));
    {
        ProbeControl a(first_, scene_, events_, &calls_);
        ProbeControl b(second_, scene_, events_, &calls_);
        EXPECT_EQ(PMControlBase::LiveCount(), 2u);
        EXPECT_TRUE(HxPortSend(atoms::TimerPortTick, &tick));
        // Attached once: each control hears the tick exactly once, newest first.
        EXPECT_EQ(calls_, (Calls{"second message 30040", "first message 30040"}));
        calls_.clear();
        {
            ProbeControl c(FetchAtom("third"), scene_, FetchAtom("Other Events"), &calls_);
        }
        // The third control's event port was its own; the shared one still routes.
        Send(Record(code::kTick));
        EXPECT_EQ(calls_.size(), 2u);
    }
    EXPECT_FALSE(HxPortSend(atoms::TimerPortTick, &tick));
    EDict key = Record(code::kKeyPressed);
    EXPECT_FALSE(HxPortSend(atoms::KeyboardPort, &key));
    EXPECT_FALSE(HxPortSend(events_, &key));
}

TEST_F(ControlBaseTest, PressCapturesTheOwnerWhichGetsKeysMovesAndTheRelease) {
    ProbeControl a(first_, scene_, events_, &calls_);
    ProbeControl b(second_, scene_, events_, &calls_);
    MoveTo(30, 40);
    EDict modifiers = Record(code::kModifiers);
    EDictPutLong(&modifiers, atoms::SHIFTKEY, 1);
    EDictPutLong(&modifiers, atoms::CTLKEY, 0);
    Send(modifiers);
    calls_.clear();
    Press(first_);
    EXPECT_EQ(PMControlBase::Captured(), &a);
    SendKey(38, 0, 1);
    MoveTo(31, 41);
    Send(Record(code::kReleased));
    Send(Record(code::kReleased));
    const Calls expected{
        "first down 30 40 shift", "second message 30036", "first message 30036",
        "first key 38 0 ctrl",    "second message 30024", "first message 30024",
        "first move 31 41",       "second message 30019", "first message 30019",
        "first up 31 41 ctrl",    "second message 30068", "first message 30068",
        "first up 31 41 ctrl",    "second message 30068", "first message 30068"};
    EXPECT_EQ(calls_, expected);
    EXPECT_EQ(PMControlBase::Captured(), &a) << "the release keeps the capture";
}

TEST_F(ControlBaseTest, TheCapturedControlsEndOrAPressOutsideEveryControlLeavesNoCapture) {
    ProbeControl a(first_, scene_, events_, &calls_);
    {
        ProbeControl b(second_, scene_, events_, &calls_);
        Press(second_);
        EXPECT_EQ(PMControlBase::Captured(), &b);
    }
    EXPECT_EQ(PMControlBase::Captured(), nullptr);
    Press(first_);
    Press(FetchAtom("a sprite nobody owns"));
    EXPECT_EQ(PMControlBase::Captured(), nullptr);
    calls_.clear();
    Send(Record(code::kReleased));  // the release, a move and a key reach nobody
    MoveTo(1, 2);
    SendKey(13, 0, 0);
    EXPECT_EQ(calls_, (Calls{"first message 30068", "first message 30019", "first message 30024"}));
}

TEST_F(ControlBaseTest, FindsTheNewestOwnerAndSurvivesControlsDestroyedMidDelivery) {
    ProbeControl* older = new ProbeControl(first_, scene_, events_, &calls_);
    ProbeControl newer(first_, scene_, events_, &calls_);
    EXPECT_EQ(PMControlBase::FindBySprite(first_), &newer);
    EXPECT_EQ(PMControlBase::FindBySprite(second_), nullptr);

    // The newer control is asked first; destroying the older one then must not reach it.
    class Destroyer : public ProbeControl {
    public:
        using ProbeControl::ProbeControl;
        void Message(EDict*) override {
            delete victim;
            victim = nullptr;
        }
        ProbeControl* victim = nullptr;
    } destroyer(second_, scene_, events_, &calls_);
    destroyer.victim = older;
    calls_.clear();
    Send(Record(code::kTick));
    EXPECT_EQ(calls_, (Calls{"first message 30040"}));
    EXPECT_EQ(PMControlBase::LiveCount(), 2u);
}

}  // namespace
}  // namespace wm::testing
