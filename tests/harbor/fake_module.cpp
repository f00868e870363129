// A stand-in mail module for the runtime and driver tests: it records every record its entry
// points receive and behaves like a tiny module. At start it erases the identity from the host's
// plug-in data store and asks for the scene ScFkStart; clicking BtnFkAsk shows the common dialog
// with "Are you there?", BtnFkOk hides it and BtnFkExit asks Harbor to end; its tick handler stays
// attached to TimerPortTick after stop, as the real one does; the close request 30026 is answered
// with AOK = 0 and a 30003 to HarborPort 20 ticks (of 16 ms) later.
#include <vector>

#include "../support/harbor_test_support.h"
#include "hxmsg.h"
#include "wrenmail.h"

namespace {

using harbor_test::A;
using harbor_test::Record;

struct Received {
    uint16_t port;
    EDict record;
};

std::vector<Received> received;
bool confirm_quit = true;
int ticks = 0;  // 30040 records seen by PostMessages, which stays attached like the real one's

void EraseIdentity() {
    EDict data;
    EDictClear(&data);
    EDictPutShort(&data, A("WNPlayerID"), 0);
    EDictPutShort(&data, A("WNOrbitID"), 0);
    EDictPutShort(&data, A("WNPassword"), 0);
    EDict request = Record(30052);
    EDictPutPointer(&request, A("PMDATA"), &data);
    HxPortSend(A("AppPort"), &request);
}

void SetSprite(const char* sprite, const char* text, bool visible) {
    EDict set = Record(30052);
    EDictPutShort(&set, A("NAME"), A(sprite));
    EDictPutText(&set, A("TEXT"), text);
    EDictPutBool(&set, A("VISIBLE"), visible);
    HxPortSend(A("ScFkStart"), &set);
}

bool HXCALL OnSceneEvent(EDict* record) {
    received.push_back({A("FakePort"), *record});
    const uint16_t type = EDictGetType(record);
    const uint16_t name = EDictGetShort(record, A("NAME"));
    if (type == 30035 && name == A("BtnFkAsk")) SetSprite("TxtCoDialog", "Are you there?", true);
    if (type == 30035 && name == A("BtnFkOk")) SetSprite("TxtCoDialog", "", false);
    if (type == 30035 && name == A("BtnFkExit")) {
        EDict exit = Record(30059);
        HxPortPost(A("HarborPort"), &exit, 0);
    }
    return true;
}

HX_EXTERN_C bool HXCALL PostMessages(EDict* record);

void Start() {
    EraseIdentity();
    HxPortAttach(A("TimerPortTick"), &PostMessages);
    HxPortAttach(A("FakePort"), &OnSceneEvent);
    EDict scene = Record(30013);
    EDictPutShort(&scene, A("NAME"), A("ScFkStart"));
    HxPortPost(A("AppPort"), &scene, 0);
}

void AnswerCloseRequest(EDict* record) {
    EDictPutLong(record, A("AOK"), 0);
    if (!confirm_quit) return;
    EDict close = Record(30003);
    HxPortPost(A("HarborPort"), &close, 20 * 16);
}

}  // namespace

HX_API bool HXCALL PM_Main(EDict* record) {
    received.push_back({A("PM"), *record});
    switch (EDictGetType(record)) {
        case 30032: Start(); break;
        case 30041: HxPortDetach(A("FakePort"), &OnSceneEvent); break;
        case 30026: AnswerCloseRequest(record); break;
        default: break;
    }
    return false;
}

HX_API bool HXCALL PostMessages(EDict* record) {
    if (EDictGetType(record) == 30040) ++ticks;
    return true;
}

// What the tests read back.
HX_API int FakeModule_CallCount() { return static_cast<int>(received.size()); }
HX_API const EDict* FakeModule_Call(int i) { return &received.at(static_cast<std::size_t>(i)).record; }
HX_API uint16_t FakeModule_CallPort(int i) { return received.at(static_cast<std::size_t>(i)).port; }
HX_API void FakeModule_Clear() { received.clear(); }
HX_API int FakeModule_Ticks() { return ticks; }
HX_API void FakeModule_ConfirmQuit(bool confirm) { confirm_quit = confirm; }
