// Operator password hashes: libsodium's Argon2id string form, made and checked in this one place.
#pragma once

#include <string>

// The hash of a password in crypto_pwhash_str's self-describing form (interactive limits); throws
// EQcError when libsodium cannot be used or the memory is not there.
std::string HashPassword(const std::string& password);
// True when the password is the one the hash was made of; false for any malformed hash.
bool VerifyPassword(const std::string& hash, const std::string& password);
