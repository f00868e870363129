// Data dictionary trees published by the host under name atoms, as PSGet answers them.
#ifndef WRENMAIL_HXMSG_VALUE_REGISTRY_H
#define WRENMAIL_HXMSG_VALUE_REGISTRY_H

#include <cstdint>
#include <unordered_map>

#include "host_value.h"

namespace hxmsg {

class ValueRegistry {
public:
    static ValueRegistry& Instance(); // built on first use, never destroyed

    bool Publish(uint16_t name, const HostValue* root);
    bool Withdraw(uint16_t name);
    // The tree published under the name atom that `key` holds; null unless `key` is a name.
    const HostValue* Find(const HostValue* key) const;

private:
    std::unordered_map<uint16_t, const HostValue*> roots_;
};

} // namespace hxmsg

#endif
