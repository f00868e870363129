// Test support: a fixture that starts and stops the module against the null host and drives its
// scenes the way a host would.
#ifndef WRENMAIL_TESTS_FAKES_MODULE_TEST_H
#define WRENMAIL_TESTS_FAKES_MODULE_TEST_H

#include <gtest/gtest.h>

#include "null_host.h"
#include "messaging/delayed_post.h"
#include "screens/common_dialog.h"
#include "app/lifecycle.h"
#include "screens/screen_base.h"
#include "state/screen_handover.h"
#include "screens/screen_registry.h"
#include "state/service_handles.h"
#include "state/settings.h"
#include "state/user_identity.h"
#include "store/message_header_list.h"
#include "wrenmail.h"

// True when the handler is attached to the port; leaves it as it was.
inline bool Attached(uint16_t port, HxHandler handler) {
    if (!HxPortDetach(port, handler)) {
        return false;
    }
    HxPortAttach(port, handler);
    return true;
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Install();
        // The reset detached the tick handler that the run's first delayed post attached.
        HxPortAttach(atoms::TimerPortTick, &PostMessages);
        wm::Identity().ClearIdentity();
        wm::AppSettings() = wm::Settings{};
        wm::Services() = wm::ServiceHandles{};
    }

    void TearDown() override {
        if (wm::ModuleRunning()) {
            Stop();
        }
        for (int i = 0; i < 100 && wm::PendingPostCount() > 0; ++i) {
            Tick();
        }
        wm::DeleteHeaderList();
        wm::Services() = wm::ServiceHandles{};
        host_.Uninstall();
    }

    // Starts the module with the identity values a launcher gives; null leaves a value out.
    void Start(const char* player, const char* kite = nullptr, const char* password = nullptr) {
        EDict start = Record(code::kEntered);
        if (player != nullptr) EDictPutShort(&start, Atom("WNPlayerID"), Atom(player));
        if (kite != nullptr) EDictPutShort(&start, Atom("WNOrbitID"), Atom(kite));
        if (password != nullptr) EDictPutShort(&start, Atom("WNPassword"), Atom(password));
        PM_Main(&start);
    }
    void Stop() {
        EDict stop = Record(code::kLeft);
        PM_Main(&stop);
    }

    static void Tick() {
        EDict tick = Record(code::kTick);
        HxPortSend(atoms::TimerPortTick, &tick);
        HxRunUntilIdle();
    }
    static void Advance(uint32_t ms) { HxAdvanceTime(ms); }

    // What the host delivers to a scene's event port.
    static bool Deliver(uint16_t port, uint16_t type) {
        EDict record = Record(type);
        return HxPortSend(port, &record);
    }
    static bool Click(uint16_t port, uint16_t sprite) {
        EDict record = Named(code::kClick, sprite);
        return HxPortSend(port, &record);
    }
    static bool EditKey(uint16_t port, uint16_t field, uint16_t key) {
        EDict record = Named(code::kEditKey, field);
        EDictPutShort(&record, atoms::KEY, key);
        return HxPortSend(port, &record);
    }
    static EDict Cursor(uint16_t sprite, uint16_t action, uint16_t cursorName) {
        EDict record = Named(code::kCursor, sprite);
        EDictPutShort(&record, atoms::ACTION, action);
        EDictPutShort(&record, atoms::CNAME, cursorName);
        return record;
    }

    // The effects set on the sprite at the port, in order.
    std::vector<uint16_t> Effects(uint16_t port, uint16_t sprite) const {
        std::vector<uint16_t> effects;
        for (const HostRequest& request : About(port, code::kSetEffect, atoms::NAME, sprite)) {
            effects.push_back(EDictGetShort(&request.record, atoms::FX));
        }
        return effects;
    }
    // Requests of the type at the port that name the sprite under the key.
    std::vector<HostRequest> About(uint16_t port, uint16_t type, uint16_t key, uint16_t sprite) const {
        std::vector<HostRequest> found;
        for (const HostRequest& request : host_.Requests(port, type)) {
            if (EDictHasKey(&request.record, key) && EDictGetShort(&request.record, key) == sprite) {
                found.push_back(request);
            }
        }
        return found;
    }
    // The last scene the module asked the host for.
    uint16_t RequestedScene() const {
        const std::vector<HostRequest> posted = host_.Posted(atoms::AppPort, code::kStart);
        return posted.empty() ? 0 : EDictGetShort(&posted.back().record, atoms::NAME);
    }
    static uint16_t CurrentScene() {
        return wm::CurrentScreen() != nullptr ? wm::CurrentScreen()->Scene() : 0;
    }

    NullHost host_;
    FakeFileService& files_ = host_.files;
    FakeMailServer& mail_ = host_.mail;
};

#endif
