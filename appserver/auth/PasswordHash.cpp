#include "auth/PasswordHash.h"

#include <sodium.h>

namespace appserver {

namespace {

// sodium_init picks the fastest implementations and seeds the random generator; a function-local
// static runs it once, whichever thread comes first.
bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

std::string hashPassword(std::string_view password) {
    if (!sodiumReady()) return {};
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return out;
}

bool verifyPassword(std::string_view storedHash, std::string_view password) {
    // libsodium reads the hash as a C string within crypto_pwhash_STRBYTES: anything longer, or
    // with a NUL inside, is not one of ours.
    if (!sodiumReady() || storedHash.empty() || storedHash.size() >= crypto_pwhash_STRBYTES ||
        storedHash.find('\0') != std::string_view::npos)
        return false;
    const std::string hash(storedHash);
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

void wipePassword(std::string& password) {
    sodium_memzero(password.data(), password.size());
    password.clear();
}

}  // namespace appserver
