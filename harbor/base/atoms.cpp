#include "base/atoms.h"

#include "hxmsg.h"

namespace harbor {

uint16_t AtomOf(const std::string& name) { return static_cast<uint16_t>(DaNameGet(name.c_str())); }

std::string KnownName(uint16_t atom) {
    const char* text = DaNameGetString(atom);
    return text != nullptr ? std::string(text) : std::string();
}

}  // namespace harbor
