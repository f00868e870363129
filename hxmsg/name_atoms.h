// Name atoms: a process-wide table from names to 16-bit numbers and back.
#ifndef WRENMAIL_HXMSG_NAME_ATOMS_H
#define WRENMAIL_HXMSG_NAME_ATOMS_H

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace hxmsg {

class NameAtoms {
public:
    // Built on first use and never destroyed: other libraries ask for atoms from their static
    // initialisers and may still do so from their static destructors.
    static NameAtoms& Instance();

    // The name's atom, 0 for a null name or when every atom is taken. The empty name has an atom
    // of its own: it is how a value is erased while its key stays.
    uint32_t Get(const char* name);
    // The atom's text, valid for the life of the process; null for an unknown atom.
    const char* Text(uint16_t atom);

    static constexpr uint32_t kMaxAtoms = 65535;

private:
    std::mutex mutex_;
    std::deque<std::string> names_; // names_[atom - 1]; a deque never moves its elements
    std::unordered_map<std::string_view, uint16_t> atoms_; // views into names_
};

} // namespace hxmsg

#endif
