// Salted, deliberately slow password hashes (libsodium's Argon2id in its self-describing text
// form "$argon2id$v=19$m=...,t=...,p=1$salt$hash"). The cost is stored in each hash, so a
// hash made at any cost verifies at any other.
#ifndef HARBOR_MAIL_PASSWORD_HASH_H
#define HARBOR_MAIL_PASSWORD_HASH_H

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace harbor {

struct PasswordCost {
    unsigned long long operations;
    std::size_t memory_bytes;

    // What accounts are made with: libsodium's interactive limits (64 MiB, about a tenth of a
    // second per sign-in).
    static PasswordCost Standard();
    // The least libsodium allows: for tests only, where hundreds of hashes must stay fast.
    static PasswordCost Fast();
    // Fast when the environment sets HARBOR_PASSWORD_COST=fast (test scripts), else Standard.
    static PasswordCost FromEnvironment();
};

// Null when libsodium cannot run or the memory cannot be had.
std::optional<std::string> HashPassword(std::string_view password, PasswordCost cost);
bool PasswordMatches(const std::string& hash, std::string_view password);

}  // namespace harbor

#endif
