#include "base/identity.h"

#include "base/atoms.h"
#include "message_codes.h"

namespace harbor {

namespace {

void PutIdentityValue(EDict& record, const char* key, const std::optional<std::string>& value) {
    if (value) EDictPutShort(&record, AtomOf(key), AtomOf(*value));
}

}  // namespace

EDict StartMessage(const Identity& identity) {
    EDict record;
    EDictClear(&record);
    EDictSetType(&record, code::kEntered);
    PutIdentityValue(record, "WNPlayerID", identity.player);
    PutIdentityValue(record, "WNOrbitID", identity.kite);
    PutIdentityValue(record, "WNPassword", identity.password);
    return record;
}

}  // namespace harbor
