#pragma once
// Password hashes for the server's users: Argon2id (libsodium, interactive limits) in the
// self-describing "$argon2id$..." text form, salt and parameters included, so a stored hash is all
// that verification needs. The password itself is never stored, logged nor returned. Thread-safe.

#include <string>
#include <string_view>

namespace appserver {

// A new hash with a random salt: two calls for one password give different texts. Empty when
// the hash could not be computed (libsodium unusable, or no memory for Argon2's 64 MiB).
std::string hashPassword(std::string_view password);

// True only when storedHash is a well-formed hash of exactly this password.
bool verifyPassword(std::string_view storedHash, std::string_view password);

// Overwrites the characters of a password that is no longer needed, then empties it.
void wipePassword(std::string& password);

}  // namespace appserver
