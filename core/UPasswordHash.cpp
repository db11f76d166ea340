// Argon2id password hashes through libsodium.
#include "UPasswordHash.h"

#include <sodium.h>

#include "UQcError.h"

namespace {
void EnsureSodium() {
    if (sodium_init() < 0) throw EQcError("The password library cannot be used");
}
} // namespace

std::string HashPassword(const std::string& password) {
    EnsureSodium();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw EQcError("Not enough memory to make the password hash");
    return out;
}

bool VerifyPassword(const std::string& hash, const std::string& password) {
    EnsureSodium();
    if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}
