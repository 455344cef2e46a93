#include "TlsContext.h"

#include <openssl/err.h>
#include <openssl/x509.h>

namespace appserver {

namespace ssl = boost::asio::ssl;

wire::Result<std::unique_ptr<ssl::context>> makeServerTlsContext(const std::string& certificateFile,
                                                                 const std::string& keyFile) {
    auto context = std::make_unique<ssl::context>(ssl::context::tls_server);
    context->set_options(ssl::context::default_workarounds | ssl::context::no_sslv2 |
                         ssl::context::no_sslv3 | ssl::context::no_tlsv1 |
                         ssl::context::no_tlsv1_1 | ssl::context::single_dh_use);
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
