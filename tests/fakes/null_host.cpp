#include "null_host.h"

#include <cstdio>

#include "hxmsg.h"
#include "message_codes.h"
#include "messaging/name_atoms.h"

namespace {

NullHost* g_host = nullptr;

bool HXCALL OnAppPort(EDict* record) {
    if (EDictGetType(record) == code::kSet && EDictHasKey(record, atoms::PMDATA)) {
        g_host->moduleData.push_back(*static_cast<const EDict*>(EDictGetPointer(record, atoms::PMDATA)));
    }
    return true;
}

// Today's date for 30011; any date formatting writes "d" and the number into the caller's buffer.
bool HXCALL OnRegional(EDict* record) {
    if (EDictGetType(record) == code::kGet) {
        EDictPutLong(record, atoms::files::DATE, g_host->today);
        return true;
    }
    auto* buffer = static_cast<char*>(HxDeref(static_cast<uint32_t>(EDictGetLong(record, atoms::files::STRING))));
    const auto size = static_cast<size_t>(EDictGetLong(record, atoms::files::SIZE));
    if (buffer != nullptr && size > 0) {
        std::snprintf(buffer, size, "d%u", static_cast<uint32_t>(EDictGetLong(record, atoms::files::DATE)));
    }
    return true;
}

}  // namespace

void NullHost::Install() {
    HxReset();
    g_host = this;
    log.Install();
    files.Install();
    mail.Install();
    ras.Install();
    scenes.Install();
    resources.Install();
    HxPortAttach(atoms::AppPort, &OnAppPort);
    HxPortAttach(atoms::RegionalPort, &OnRegional);
}

void NullHost::Uninstall() {
    if (g_host != this) return;
    PortLog::Uninstall();
    HxReset();
    g_host = nullptr;
}

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

NullHost& Host() { return *g_host; }

std::vector<HostRequest> PortLog::Filter(uint16_t port, uint16_t type, bool delivered, bool postedOnly) const {
    std::vector<HostRequest> found;
    for (const HostRequest& request : events_) {
        const bool isDelivery = request.event == HxTraceDeliver;
        if (isDelivery == delivered && (port == 0 || request.port == port) &&
            (type == 0 || EDictGetType(&request.record) == type) && (!postedOnly || request.posted)) {
            found.push_back(request);
        }
    }
    return found;
}

void PortLog::Hook(int event, uint16_t port, const EDict* record, int32_t delay, void* user) {
    static_cast<PortLog*>(user)->events_.push_back(HostRequest{event, port, *record, delay, event == HxTracePost});
}

std::vector<std::pair<uint16_t, uint16_t>> KeysOf(const EDict& record) {
    std::vector<std::pair<uint16_t, uint16_t>> keys;
    for (int32_t n = 0; n < EDictKeyCount(&record); ++n) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(&record, n, &type);
        keys.emplace_back(key, type);
    }
    return keys;
}

EDict Record(uint16_t type, uint32_t time) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    record.time = time;
    return record;
}

EDict Named(uint16_t type, uint16_t sprite, uint32_t time) {
    EDict record = Record(type, time);
    EDictPutShort(&record, atoms::NAME, sprite);
    return record;
}

uint16_t Atom(const char* name) { return wm::FetchAtom(name); }
