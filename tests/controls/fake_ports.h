// A stand-in host for the controls: ResPort answers resource requests with fresh atoms, and every
// send and post to any port is logged in order.
#ifndef WRENMAIL_TESTS_CONTROLS_FAKE_PORTS_H
#define WRENMAIL_TESTS_CONTROLS_FAKE_PORTS_H

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "edict.h"

namespace wm::testing {

struct Delivery {
    uint16_t port;
    EDict record;
    bool posted;
};

class FakeHost {
public:
    // Resets the messaging library, answers ResPort and starts a fresh log.
    static void Install();
    static void Uninstall();
    // When refusing, ResPort answers STATUS false.
    static void SetRefusing(bool refusing);
    static std::vector<Delivery>& Log();
    static std::vector<Delivery> To(uint16_t port, uint16_t type);
    static std::vector<Delivery> Posted(uint16_t port, uint16_t type);
    static void ClearLog();
};

// Every controls test: a fresh host, and the draw handlers' first answers already given.
class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    uint16_t scene_;
    uint16_t events_;
};

EDict Record(uint16_t type, uint32_t time = 0);
EDict DrawRecord(uint16_t sprite, const void* canvas);

}  // namespace wm::testing

#endif
