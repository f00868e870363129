#include "transport/connection_client.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"
#include "messaging/request_builders.h"
#include "state/service_handles.h"

namespace wm {
namespace {

// A sign-in over a line that is already up waits a little, as after any other screen step.
constexpr int32_t kConnectedDelay = 10;

void PostDialRequest() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kOpen);
    EDictPutHandle(&record, atoms::mail::Connection, 0);
    EDictPutShort(&record, atoms::mail::NotifyPort, atoms::ports::ConnectPort);
    HxPortPost(atoms::mail::RASPort, &record, 0);
}

void OnDialResult(const EDict* record) {
    if (EDictGetLong(record, atoms::mail::Status) > 0) {
        Services().connection = static_cast<uint32_t>(EDictGetLong(record, atoms::mail::Connection));
        PostAction(atoms::ports::OrbitSignInPort, atoms::actions::aValidateUser, 0);
    } else {
        PostAction(atoms::ports::OrbitSignInPort, atoms::actions::aOnConnectionFailed, 0);
    }
}

}  // namespace

bool HasConnectionManager() {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kQuery);
    EDictPutHandle(&record, atoms::mail::Manager, 0);
    HxPortSend(atoms::mail::RASPort, &record);
    return EDictGetLong(&record, atoms::mail::Manager) != 0;
}

void StartDial() {
    if (Services().connection != 0) {
        PostAction(atoms::ports::OrbitSignInPort, atoms::actions::aValidateUser, kConnectedDelay);
    } else if (HasConnectionManager()) {
        PostDialRequest();
    } else {
        PostAction(atoms::ports::OrbitSignInPort, atoms::actions::aValidateUser, 0);
    }
}

void HandleConnectionNotice(const EDict* record) {
    const uint16_t type = EDictGetType(record);
    if (type == code::kDialResult) {
        OnDialResult(record);
    } else if (type == code::kLineDropped) {
        Services().connection = 0;
    }
}

}  // namespace wm
