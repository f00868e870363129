// Who starts the mail client, as a launcher hands it over: each value only when given.
#ifndef HARBOR_BASE_IDENTITY_H
#define HARBOR_BASE_IDENTITY_H

#include <optional>
#include <string>

#include "edict.h"

namespace harbor {

struct Identity {
    std::optional<std::string> player;    // WNPlayerID
    std::optional<std::string> kite;      // WNOrbitID
    std::optional<std::string> password;  // WNPassword

    // Values given in `over` replace ours; the others stay.
    Identity OverriddenBy(const Identity& over) const {
        Identity out = *this;
        if (over.player) out.player = over.player;
        if (over.kite) out.kite = over.kite;
        if (over.password) out.password = over.password;
        return out;
    }
};

// The start message for an identity: 30032 with WNPlayerID, WNOrbitID, WNPassword (in that
// order, each only when given) as the Short atoms of their texts.
EDict StartMessage(const Identity& identity);

}  // namespace harbor

#endif
