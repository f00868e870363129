#include "value_registry.h"

namespace hxmsg {

ValueRegistry& ValueRegistry::Instance() {
    static auto* registry = new ValueRegistry;
    return *registry;
}

bool ValueRegistry::Publish(uint16_t name, const HostValue* root) {
    if (name == 0 || root == nullptr) return false;
    roots_[name] = root;
    return true;
}

bool ValueRegistry::Withdraw(uint16_t name) {
    return roots_.erase(name) > 0;
}

const HostValue* ValueRegistry::Find(const HostValue* key) const {
    if (key == nullptr || key->type != HostValueName) return nullptr;
    auto it = roots_.find(static_cast<uint16_t>(key->payload & 0xFFFFu));
    return it == roots_.end() ? nullptr : it->second;
}

} // namespace hxmsg
