#include "hxmsg_test_support.h"

#include <stdexcept>

namespace hxtest {
namespace {

using HxPorts = MessagingTest;

TEST_F(HxPorts, HandlersRunOnceEachInAttachOrderAndAnswerInTheRecord) {
    EDict r = Record(1);
    EXPECT_FALSE(HxPortSend(port_, &r)); // no handler
    EXPECT_TRUE(HxPortAttach(port_, Logger<2>));
    EXPECT_TRUE(HxPortAttach(port_, Logger<1>));
    EXPECT_TRUE(HxPortAttach(port_, Logger<2>));
    HxPortAttach(other_, Logger<3>);
    during = [](int n, EDict* d) { EDictPutLong(d, 77, n); };
    EXPECT_FALSE(HxPortSend(port_, &r));
    EXPECT_EQ(EDictGetLong(&r, 77), 1);
    answers[2] = true;
    EXPECT_TRUE(HxPortSend(port_, &r));
    EXPECT_EQ(Handlers(), (Ints{2, 1, 2, 1})); // a true answer does not stop the others

    EXPECT_FALSE(HxPortAttach(0, Logger<1>));
    EXPECT_FALSE(HxPortAttach(port_, nullptr));
    EXPECT_FALSE(HxPortSend(0, &r));
    EXPECT_FALSE(HxPortSend(port_, nullptr));
    EXPECT_EQ(calls.size(), 4u);
}

TEST_F(HxPorts, DetachedHandlersAreNotCalledEvenMidDelivery) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    HxPortAttach(port_, Logger<3>);
    during = [this](int n, EDict*) {
        if (n == 1) HxPortDetach(port_, Logger<2>);
        if (n == 3) HxPortDetach(port_, Logger<3>); // itself
    };
    EDict r = Record(1);
    HxPortSend(port_, &r);
    HxPortSend(port_, &r);
    EXPECT_FALSE(HxPortDetach(port_, Logger<2>));
    EXPECT_FALSE(HxPortDetach(other_, Logger<1>));
    HxPortAttach(port_, Logger<2>); // attaches again, now last
    during = nullptr;
    HxPortSend(port_, &r);
    EXPECT_EQ(Handlers(), (Ints{1, 3, 1, 1, 2}));
}

TEST_F(HxPorts, HandlerAttachedDuringDeliveryWaitsForTheNextRecord) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<3>);
    during = [this](int n, EDict*) {
        if (n != 1) return;
        HxPortAttach(port_, Logger<2>);
        HxPortDetach(port_, Logger<3>); // detached and attached again counts as new
        HxPortAttach(port_, Logger<3>);
    };
    EDict first = Record(1);
    EDict second = Record(2);
    HxPortSend(port_, &first);
    during = nullptr;
    HxPortSend(port_, &second);
    EXPECT_EQ(Types(), (Types16{1, 2, 2, 2}));
    EXPECT_EQ(Handlers(), (Ints{1, 1, 2, 3}));
}

TEST_F(HxPorts, SendsNestIntoOtherPortsAndTheSamePort) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    HxPortAttach(other_, Logger<3>);
    during = [this](int n, EDict* d) {
        if (n != 1 || d->type != 1) return;
        EDict inner = Record(2);
        HxPortSend(other_, &inner);
        HxPortSend(port_, &inner);
    };
    EDict r = Record(1);
    HxPortSend(port_, &r);
    EXPECT_EQ(Handlers(), (Ints{1, 3, 1, 2, 2}));
    EXPECT_EQ(Types(), (Types16{1, 2, 2, 2, 1}));
}

TEST_F(HxPorts, ResetDetachesEveryHandlerEvenMidDelivery) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    HxPortAttach(other_, Logger<3>);
    during = [](int, EDict*) { HxReset(); };
    EDict r = Record(1);
    HxPortSend(port_, &r);
    EXPECT_FALSE(HxPortSend(other_, &r));
    EXPECT_EQ(Handlers(), (Ints{1}));
}

TEST_F(HxPorts, AHandlerThatThrowsCountsAsNotTakenAndTheOthersStillRun) {
    HxPortAttach(port_, Logger<1>);
    HxPortAttach(port_, Logger<2>);
    answers[1] = true;
    during = [](int n, EDict*) {
        if (n == 1) throw std::runtime_error("broken handler");
    };
    EDict r = Record(1);
    EXPECT_FALSE(HxPortSend(port_, &r));  // the throwing handler's true answer never came
    EXPECT_EQ(Handlers(), (Ints{1, 2}));
}

} // namespace
} // namespace hxtest
