// Name atoms as Harbor uses them: 16-bit, fetched by name, printed by name when known.
#ifndef HARBOR_BASE_ATOMS_H
#define HARBOR_BASE_ATOMS_H

#include <cstdint>
#include <string>

namespace harbor {

// The atom of a name (0 for an empty or unusable name, as DaNameGet answers).
uint16_t AtomOf(const std::string& name);
// The name of an atom, or "" when the atom is unknown.
std::string KnownName(uint16_t atom);

}  // namespace harbor

#endif
