// The launcher's store of plug-in data: one record holding the identity the module was started
// with (WNPlayerID, WNOrbitID, WNPassword). The module writes into it with 30052 on AppPort,
// PMDATA = a Pointer to a record whose every key overwrites the store's key of the same name; it
// does so at start to erase the identity, which then lives only in the module's memory.
#ifndef HARBOR_SERVICES_PLUGIN_DATA_SERVICE_H
#define HARBOR_SERVICES_PLUGIN_DATA_SERVICE_H

#include <cstdint>

#include "edict.h"
#include "base/identity.h"

namespace harbor {

class PluginDataService {
public:
    PluginDataService();
    ~PluginDataService();
    PluginDataService(const PluginDataService&) = delete;
    PluginDataService& operator=(const PluginDataService&) = delete;

    // Fills the store as a launcher does before a start: the given values as Short atoms.
    void Reset(const Identity& identity);
    // Each key of `from` overwrites (or adds) the same key here, with its type.
    void Merge(const EDict& from);
    const EDict& Record() const { return record_; }

private:
    static bool Handle(EDict* record);

    static PluginDataService* live_;  // HxHandler carries no context: one live instance
    EDict record_;
    uint16_t app_port_;
    uint16_t pmdata_;
};

}  // namespace harbor

#endif
