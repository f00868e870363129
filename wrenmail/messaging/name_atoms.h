// Name atoms: the 16-bit numbers the host gives to names. Every atom the messaging core keeps is a
// plain u16 global filled at load by its own initialiser (see name_atoms.def for the list); rarely
// used atoms are fetched on first use through LazyAtoms.
#ifndef WRENMAIL_MESSAGING_NAME_ATOMS_H
#define WRENMAIL_MESSAGING_NAME_ATOMS_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace wm {

// The atom of a name; the host answers 32 bits, of which atoms use the low 16.
uint16_t FetchAtom(const char* name);
// The atom of the name that printf-style `format` gives for `number` ("Play%d" and 2: "Play2").
uint16_t FetchAtomFormat(const char* format, int number);

// Atoms a function needs only rarely: each is fetched the first time it is asked for, guarded by
// one bit of a guard byte. The guard is not locked: all callers run on the host's one thread.
template <std::size_t N>
class LazyAtoms {
    static_assert(N >= 1 && N <= 8, "one guard byte holds eight atoms");

public:
    constexpr explicit LazyAtoms(const std::array<const char*, N>& names) : names_(names) {}

    uint16_t Get(std::size_t bit) {
        const auto mask = static_cast<uint8_t>(1u << bit);
        if ((guard_ & mask) == 0) {
            guard_ = static_cast<uint8_t>(guard_ | mask);
            atoms_[bit] = FetchAtom(names_[bit]);
        }
        return atoms_[bit];
    }

private:
    std::array<const char*, N> names_;
    uint8_t guard_ = 0;
    std::array<uint16_t, N> atoms_{};
};

}  // namespace wm

// Other units keep their own atom variables the same way: declare in their header, define (with
// its load-time initialiser) in their source file.
#define WM_DECLARE_ATOM(group, variable) \
    namespace atoms::group {             \
    extern uint16_t variable;            \
    }
#define WM_DEFINE_ATOM(group, variable)                       \
    namespace atoms::group {                                  \
    uint16_t variable = ::wm::FetchAtom(#variable);           \
    }

#define WM_ATOM(group, variable) WM_DECLARE_ATOM(group, variable)
#define WM_ATOM_FORMAT(group, variable, format, number) WM_DECLARE_ATOM(group, variable)
#include "name_atoms.def"
#undef WM_ATOM
#undef WM_ATOM_FORMAT

// The host's names are the common vocabulary: atoms::NAME reaches atoms::host::NAME.
namespace atoms {
using namespace host;
}  // namespace atoms

#endif
