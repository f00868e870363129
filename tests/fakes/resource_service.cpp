#include "resource_service.h"

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

void FakeResourceService::Install() {
    instance_ = this;
    HxPortAttach(atoms::ResPort, &FakeResourceService::OnRequest);
}

bool FakeResourceService::Handle(EDict* record) {
    if (EDictGetType(record) == code::kCreate) {
        EDictPutBool(record, atoms::STATUS, !refusing);
        const std::string name = "Fake Resource " + std::to_string(++made);
        EDictPutShort(record, atoms::NAME, wm::FetchAtom(name.c_str()));
        return true;
    }
    const char* file = EDictGetText(record, atoms::XFILE);
    if (file == nullptr || served.count(file) == 0) return true;
    if (!reachable || reachable(file)) EDictPutShort(record, atoms::NAME, served[file]);
    return true;
}

bool HXCALL FakeResourceService::OnRequest(EDict* record) {
    return instance_ != nullptr && instance_->Handle(record);
}
