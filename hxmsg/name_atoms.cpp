#include "name_atoms.h"

namespace hxmsg {

NameAtoms& NameAtoms::Instance() {
    static auto* atoms = new NameAtoms;
    return *atoms;
}

uint32_t NameAtoms::Get(const char* name) {
    if (name == nullptr) return 0;
    std::string_view key(name);
    std::lock_guard lock(mutex_);
    if (auto it = atoms_.find(key); it != atoms_.end()) return it->second;
    if (names_.size() >= kMaxAtoms) return 0;
    const std::string& stored = names_.emplace_back(key);
    auto atom = static_cast<uint16_t>(names_.size());
    atoms_.emplace(std::string_view(stored), atom);
    return atom;
}

const char* NameAtoms::Text(uint16_t atom) {
    std::lock_guard lock(mutex_);
    if (atom == 0 || atom > names_.size()) return nullptr;
    return names_[atom - 1u].c_str();
}

} // namespace hxmsg
