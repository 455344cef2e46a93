// The server's TLS context as OpenSSL reads it: what it offers, whatever the cipher string says.
#include "rpc/TlsContext.h"

#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include "support/TestCertificate.h"

namespace appserver {
namespace {

TEST(TlsContext, OffersTls12OnlyWithEcdheAndAeadCiphersAndNothingOlder) {
    testing_tls::TestCertificates certificates;
    const auto files = certificates.server("localhost");
    auto context = makeServerTlsContext(files.certificate, files.key);
    ASSERT_TRUE(context) << context.status().message();
    SSL_CTX* tls = (*context)->native_handle();
    EXPECT_GE(SSL_CTX_get_min_proto_version(tls), TLS1_2_VERSION);
    std::string tls12Ciphers;
    int tls13Suites = 0;
    STACK_OF(SSL_CIPHER)* offered = SSL_CTX_get_ciphers(tls);
    for (int i = 0; i < sk_SSL_CIPHER_num(offered); ++i) {
        const SSL_CIPHER* cipher = sk_SSL_CIPHER_value(offered, i);
        const std::string name = SSL_CIPHER_get_name(cipher);
        EXPECT_TRUE(SSL_CIPHER_is_aead(cipher)) << name;
        if (SSL_CIPHER_get_kx_nid(cipher) == NID_kx_any) {  // TLS 1.3: key exchange apart
            ++tls13Suites;
            continue;
        }
        EXPECT_EQ(SSL_CIPHER_get_kx_nid(cipher), NID_kx_ecdhe) << name;
        tls12Ciphers += std::string(OBJ_nid2sn(SSL_CIPHER_get_cipher_nid(cipher))) + " ";
    }
    EXPECT_GT(tls13Suites, 0);
    for (const char* cipher : {"id-aes128-GCM", "id-aes256-GCM", "ChaCha20-Poly1305"})
        EXPECT_NE(tls12Ciphers.find(cipher), std::string::npos) << cipher << " in " << tls12Ciphers;
}

}  // namespace
}  // namespace appserver
