// Who starts the mail client, as a launcher hands it over: each value only when given.
#ifndef HARBOR_RUNTIME_IDENTITY_H
#define HARBOR_RUNTIME_IDENTITY_H

#include <optional>
#include <string>

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

}  // namespace harbor

#endif
