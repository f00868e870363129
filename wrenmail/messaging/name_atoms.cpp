// The atom variables of the messaging core and their load-time initialisers. Within this file the
// initialisers run in declaration order, which is the order of name_atoms.def.
#include "messaging/name_atoms.h"

#include <cstdio>

#include "hxmsg.h"

namespace wm {

uint16_t FetchAtom(const char* name) {
    return static_cast<uint16_t>(DaNameGet(name));
}

uint16_t FetchAtomFormat(const char* format, int number) {
    char name[64];
    std::snprintf(name, sizeof name, format, number);
    return FetchAtom(name);
}

}  // namespace wm

#define WM_ATOM(group, variable) \
    namespace atoms::group {     \
    uint16_t variable = ::wm::FetchAtom(#variable); \
    }
#define WM_ATOM_FORMAT(group, variable, format, number) \
    namespace atoms::group {                            \
    uint16_t variable = ::wm::FetchAtomFormat(format, number); \
    }
#include "messaging/name_atoms.def"
#undef WM_ATOM
#undef WM_ATOM_FORMAT
