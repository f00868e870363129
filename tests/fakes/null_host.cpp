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

NullHost& Host() { return *g_host; }

EDict Record(uint16_t type, uint32_t time) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, type);
    record.time = time;
    return record;
}

uint16_t Atom(const char* name) { return wm::FetchAtom(name); }
