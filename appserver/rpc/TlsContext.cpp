#include "rpc/TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

namespace appserver {

namespace ssl = boost::asio::ssl;

namespace {

// TLS 1.2 suites with forward secrecy and authenticated encryption only: ECDHE key exchange with
// AES-GCM or ChaCha20-Poly1305, for an ECDSA or an RSA certificate. RSA key exchange and CBC
// suites are out. TLS 1.3 suites are all of that kind; the library's own list stands.
constexpr const char* kTls12Ciphers =
    "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-RSA-AES128-GCM-SHA256:"
    "ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-RSA-AES256-GCM-SHA384:"
    "ECDHE-ECDSA-CHACHA20-POLY1305:ECDHE-RSA-CHACHA20-POLY1305";

}  // namespace

wire::Result<std::unique_ptr<ssl::context>> makeServerTlsContext(const std::string& certificateFile,
                                                                 const std::string& keyFile) {
    auto context = std::make_unique<ssl::context>(ssl::context::tls_server);
    context->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 |
                         ssl::context::no_sslv3 | ssl::context::no_tlsv1 |
                         ssl::context::no_tlsv1_1 | ssl::context::single_dh_use);
    // A stricter floor from the system's OpenSSL configuration stays; 0 means none.
    SSL_CTX* tls = context->native_handle();
    const long floor = SSL_CTX_get_min_proto_version(tls);
    if ((floor < TLS1_2_VERSION && SSL_CTX_set_min_proto_version(tls, TLS1_2_VERSION) != 1) ||
        SSL_CTX_set_cipher_list(tls, kTls12Ciphers) != 1)
        return wire::Status(wire::ErrorCode::Unavailable,
                            "a biblioteca TLS não oferece as cifras exigidas (ECDHE com AES-GCM "
                            "ou ChaCha20-Poly1305)");
    boost::system::error_code ec;
    auto refused = [&](const std::string& what, const std::string& file) {
        return wire::Status(wire::ErrorCode::Unavailable, what + " " + file + ": " + ec.message());
    };
    context->use_certificate_chain_file(certificateFile, ec);
    if (ec) return refused("não foi possível usar o certificado", certificateFile);
    context->use_private_key_file(keyFile, ssl::context::pem, ec);
    const bool mismatch =
        ec ? ERR_GET_REASON(static_cast<unsigned long>(ec.value())) == X509_R_KEY_VALUES_MISMATCH
           : SSL_CTX_check_private_key(context->native_handle()) != 1;
    if (mismatch)
        return wire::Status(
            wire::ErrorCode::Unavailable,
            "a chave privada " + keyFile + " não corresponde ao certificado " + certificateFile);
    if (ec) return refused("não foi possível usar a chave privada", keyFile);
    return context;
}

bool certificateExpired(boost::asio::ssl::context& context) {
    X509* certificate = SSL_CTX_get0_certificate(context.native_handle());
    return certificate && X509_cmp_current_time(X509_get0_notAfter(certificate)) < 0;
}

}  // namespace appserver
