#include "controls/control_base.h"

#include <algorithm>
#include <vector>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/delivery_scope.h"
#include "messaging/name_atoms.h"

namespace wm {
namespace {

struct RoutingState {
    std::vector<PMControlBase*> controls;  // newest first
    PMControlBase* captured = nullptr;
    int32_t x = 0;
    int32_t y = 0;
    bool shift = false;
    bool ctrl = false;
};

RoutingState& State() {
    static RoutingState state;
    return state;
}

bool IsLive(const PMControlBase* control) {
    const auto& controls = State().controls;
    return std::find(controls.begin(), controls.end(), control) != controls.end();
}

void RememberModifiers(const EDict* record) {
    State().shift = EDictGetLong(record, atoms::SHIFTKEY) > 0;
    State().ctrl = EDictGetLong(record, atoms::CTLKEY) > 0;
}

void RouteByType(EDict* record) {
    RoutingState& state = State();
    switch (EDictGetType(record)) {
    case code::kPointerMoved:
        state.x = EDictGetLong(record, atoms::X);
        state.y = EDictGetLong(record, atoms::Y);
        if (state.captured != nullptr) {
            state.captured->MouseMove(state.x, state.y);
        }
        break;
    case code::kKeyPressed:
        RememberModifiers(record);
        if (state.captured != nullptr) {
            state.captured->Key(EDictGetLong(record, atoms::KEY), state.shift, state.ctrl);
        }
        break;
    case code::kPress:
        state.captured = PMControlBase::FindBySprite(EDictGetShort(record, atoms::NAME));
        if (state.captured != nullptr) {
            state.captured->MouseDown(state.x, state.y, state.shift, state.ctrl);
        }
        break;
    case code::kModifiers:
        RememberModifiers(record);
        break;
    case code::kReleased:
        if (state.captured != nullptr) {
            state.captured->MouseUp(state.x, state.y, state.shift, state.ctrl);
        }
        break;
    default:
        break;
    }
}

}  // namespace

PMControlBase::PMControlBase(uint32_t left, uint32_t top, uint32_t width, uint32_t height,
                             uint16_t scene_port, uint16_t event_port)
    : left_(left),
      top_(top),
      width_(width),
      height_(height),
      scene_port_(scene_port),
      event_port_(event_port) {
    HxPortAttach(event_port_, &PM_ControlEvents);
    auto& controls = State().controls;
    if (controls.empty()) {
        HxPortAttach(atoms::KeyboardPort, &PM_ControlEvents);
        HxPortAttach(atoms::TimerPortTick, &PM_ControlEvents);
    }
    controls.insert(controls.begin(), this);
}

PMControlBase::~PMControlBase() {
    RoutingState& state = State();
    // Another live control may still listen on the same event port.
    const bool port_shared = std::any_of(
        state.controls.begin(), state.controls.end(),
        [this](const PMControlBase* c) { return c != this && c->event_port_ == event_port_; });
    if (!port_shared) {
        HxPortDetach(event_port_, &PM_ControlEvents);
    }
    std::erase(state.controls, this);
    if (state.controls.empty()) {
        HxPortDetach(atoms::KeyboardPort, &PM_ControlEvents);
        HxPortDetach(atoms::TimerPortTick, &PM_ControlEvents);
    }
    if (state.captured == this) {
        state.captured = nullptr;
    }
}

uint32_t PMControlBase::GetLeft() const { return left_; }
uint32_t PMControlBase::GetTop() const { return top_; }
uint32_t PMControlBase::GetWidth() const { return width_; }
uint32_t PMControlBase::GetHeight() const { return height_; }

void PMControlBase::SetRoutable(bool routable) {
    routable_ = routable;
    if (!routable && State().captured == this) {
        State().captured = nullptr;
    }
}

PMControlBase* PMControlBase::FindBySprite(uint16_t atom) {
    for (PMControlBase* control : State().controls) {
        if (control->routable_ && control->OwnsSprite(atom)) {
            return control;
        }
    }
    return nullptr;
}

PMControlBase* PMControlBase::Captured() { return State().captured; }

std::size_t PMControlBase::LiveCount() { return State().controls.size(); }

bool HXCALL PMControlBase::PM_ControlEvents(EDict* record) {
    DeliveryScope scope;
    if (record == nullptr) {
        return true;
    }
    RouteByType(record);
    // A control may destroy others while handling the message: walk a copy, skip the dead.
    const std::vector<PMControlBase*> snapshot = State().controls;
    for (PMControlBase* control : snapshot) {
        if (IsLive(control) && control->routable_) {
            control->Message(record);
        }
    }
    return true;
}

}  // namespace wm
