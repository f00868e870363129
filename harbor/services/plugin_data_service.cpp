#include "services/plugin_data_service.h"

#include <cassert>

#include "hxmsg.h"
#include "base/atoms.h"
#include "message_codes.h"
#include "base/trace_log.h"

namespace harbor {

PluginDataService* PluginDataService::live_ = nullptr;

PluginDataService::PluginDataService() : app_port_(AtomOf("AppPort")), pmdata_(AtomOf("PMDATA")) {
    assert(live_ == nullptr && "one plug-in data service at a time");
    live_ = this;
    EDictClear(&record_);
    HxPortAttach(app_port_, &PluginDataService::Handle);
}

PluginDataService::~PluginDataService() {
    HxPortDetach(app_port_, &PluginDataService::Handle);
    live_ = nullptr;
}

void PluginDataService::Reset(const Identity& identity) {
    record_ = StartMessage(identity);
    EDictSetType(&record_, 0);
}

void PluginDataService::Merge(const EDict& from) {
    const int32_t count = EDictKeyCount(&from);
    for (int32_t i = 0; i < count; ++i) {
        uint16_t type = 0;
        const uint16_t key = EDictKeyAt(&from, i, &type);
        // Shorts go through their own put: the typed put writes four bytes, which would reach
        // into the next value when a Short is overwritten in place.
        const bool stored = type == EDictShort
                                ? EDictPutShort(&record_, key, EDictGetShort(&from, key))
                                : EDictPutTyped(&record_, key, static_cast<uint32_t>(EDictGetLong(&from, key)), type);
        if (!stored) TraceNote("AppPort", "plug-in data store is full: key dropped");
    }
}

bool PluginDataService::Handle(EDict* record) {
    if (live_ == nullptr || record == nullptr || EDictGetType(record) != code::kSet) return false;
    if (!EDictHasKey(record, live_->pmdata_)) return false;
    const auto* data = static_cast<const EDict*>(EDictGetPointer(record, live_->pmdata_));
    if (data == nullptr) {
        TraceNote("AppPort", "PMDATA points nowhere: ignored");
        return true;
    }
    live_->Merge(*data);
    return true;
}

}  // namespace harbor
