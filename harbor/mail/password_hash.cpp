#include "mail/password_hash.h"

#include <sodium.h>

#include <cstdlib>

namespace harbor {

namespace {

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

PasswordCost PasswordCost::Standard() {
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

PasswordCost PasswordCost::Fast() { return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN}; }

PasswordCost PasswordCost::FromEnvironment() {
    const char* setting = std::getenv("HARBOR_PASSWORD_COST");
    return setting != nullptr && std::string_view(setting) == "fast" ? Fast() : Standard();
}

std::optional<std::string> HashPassword(std::string_view password, PasswordCost cost) {
    if (!SodiumReady()) return std::nullopt;
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), cost.operations, cost.memory_bytes) != 0) {
        return std::nullopt;
    }
    return std::string(out);
}

bool PasswordMatches(const std::string& hash, std::string_view password) {
    if (!SodiumReady() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace harbor
