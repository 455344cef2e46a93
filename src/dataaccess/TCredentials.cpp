#include "dataaccess/TCredentials.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

TCredentials::TCredentials(std::string user, std::string password)
    : m_user(std::move(user)), m_password(std::move(password)) {
    Wipe(password);  // a short password was copied, not moved, out of the argument
}

TCredentials::TCredentials(TCredentials&& other) noexcept
    : m_user(std::move(other.m_user)), m_password(std::move(other.m_password)) {
    Wipe(other.m_password);
}

TCredentials& TCredentials::operator=(TCredentials&& other) noexcept {
    if (this == &other) return *this;
    Wipe(m_password);
    m_user = std::move(other.m_user);
    m_password = std::move(other.m_password);
    Wipe(other.m_password);
    return *this;
}

TCredentials::~TCredentials() { Wipe(m_password); }

std::string TCredentials::BasicAuthorization() const {
    std::string plain = m_user + ":" + m_password;
    std::string encoded(4 * ((plain.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                                       reinterpret_cast<const unsigned char*>(plain.data()),
                                       static_cast<int>(plain.size()));
    Wipe(plain);
    encoded.resize(static_cast<std::size_t>(length));
    std::string header = "Basic " + encoded;
    Wipe(encoded);
    return header;
}

void TCredentials::Wipe(std::string& text) noexcept {
    // A moved-from or shortened string keeps the old characters past its end: clear them too.
    text.resize(text.capacity());
    OPENSSL_cleanse(text.data(), text.size());
    text.clear();
}
