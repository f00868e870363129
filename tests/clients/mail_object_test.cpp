#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "clients/mail_object.h"
#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace {

// The handles of the free requests that reach MailPort, in order.
std::vector<uint32_t> g_freed;

bool HXCALL RecordFree(EDict* record) {
    if (EDictGetType(record) == code::kDelete) {
        g_freed.push_back(static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Message)));
    }
    return true;
}

class MailObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_freed.clear();
        HxPortAttach(atoms::mail::MailPort, &RecordFree);
    }
    void TearDown() override { HxReset(); }
};

wm::MailObject Made(uint32_t handle) {
    wm::MailObject object(handle);
    return object;
}

TEST_F(MailObjectTest, EachOwnedHandleEvenZeroIsFreedOnceWhenItsOwnerGoesAndAMovedFromOwnerFreesNothing) {
    {
        const wm::MailObject first(41);
        {
            wm::MailObject inner(42);
            const wm::MailObject taken(std::move(inner));
            EXPECT_EQ(taken.Get(), 42u);
            EXPECT_TRUE(g_freed.empty());
        }
        EXPECT_EQ(g_freed, (std::vector<uint32_t>{42}));
        const wm::MailObject returned = Made(43);
        EXPECT_EQ(g_freed, (std::vector<uint32_t>{42}));
    }
    EXPECT_EQ(g_freed, (std::vector<uint32_t>{42, 43, 41}));
    // The requests must not depend on the service's answer: a refused object is freed all the same.
    { const wm::MailObject none(0); }
    EXPECT_EQ(g_freed, (std::vector<uint32_t>{42, 43, 41, 0}));
}

}  // namespace
