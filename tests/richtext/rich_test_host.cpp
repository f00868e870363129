#include "rich_test_host.h"

#include "hxmsg.h"
#include "messaging/message_codes.h"
#include "messaging/name_atoms.h"

namespace wm::testing {
namespace {

std::vector<Traced> g_log;
uint16_t g_port = 0;

void Trace(int event, uint16_t port, const EDict* record, int32_t, void*) {
    if (event == HxTraceDeliver) return;
    g_log.push_back(Traced{port, *record, event == HxTracePost});
}

bool HXCALL AnswerSize(EDict* record) {
    if (EDictGetType(record) != code::kGetRect) return false;
    EDictPutLong(record, atoms::RX1, 10);
    EDictPutLong(record, atoms::RY1, 20);
    EDictPutLong(record, atoms::RX2, 10 + kHostWidth);
    EDictPutLong(record, atoms::RY2, 20 + kHostHeight);
    return true;
}

}  // namespace

RichTestHost::RichTestHost() {
    HxReset();
    g_log.clear();
    g_port = FetchAtom("RichTestScenePort");
    port_ = g_port;
    HxPortAttach(g_port, &AnswerSize);
    HxSetTraceHook(&Trace, nullptr);
}

RichTestHost::~RichTestHost() {
    HxSetTraceHook(nullptr, nullptr);
    HxReset();
    g_log.clear();
}

std::vector<Traced> RichTestHost::OfType(uint16_t type) const {
    std::vector<Traced> found;
    for (const Traced& traced : g_log) {
        if (EDictGetType(&traced.record) == type) found.push_back(traced);
    }
    return found;
}

const std::vector<Traced>& RichTestHost::All() const {
    return g_log;
}

void RichTestHost::Clear() {
    g_log.clear();
}

}  // namespace wm::testing
