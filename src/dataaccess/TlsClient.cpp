#include "dataaccess/TlsClient.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <boost/asio/error.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ssl/error.hpp>
#include <boost/beast/core/error.hpp>
#include <filesystem>
#include <fstream>

#include "dataaccess/RpcMessages.h"

namespace ssl = boost::asio::ssl;
using boost::system::error_code;

namespace tlsclient {

namespace {

// "[::1]" as the resolver and the URL write it; the certificate holds the bare address.
std::string bareHost(const std::string& host) {
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        return host.substr(1, host.size() - 2);
    return host;
}

bool isAddress(const std::string& host) {
    error_code ec;
    boost::asio::ip::make_address(host, ec);
    return !ec;
}

std::string certificateFault(long verifyResult, const RpcTls& tls, const std::string& host) {
    switch (verifyResult) {
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return "está vencido";
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return "ainda não é válido (confira a data e a hora deste computador)";
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return "não foi emitido para o nome " + host;
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_CERT_UNTRUSTED:
            if (!tls.caFile.empty())
                return "não foi emitido pela autoridade de CaFile=" + tls.caFile;
            return "não é de uma autoridade confiável (é autoassinado ou de uma autoridade "
                   "desconhecida); para uma autoridade própria, informe o certificado dela em "
                   "CaFile= na configuração do host";
        default:
            return X509_verify_cert_error_string(verifyResult);
    }
}

// The server answered in something other than TLS: plain HTTP, most likely.
bool isNotTls(const error_code& ec) {
    if (ec.category() != boost::asio::error::get_ssl_category()) return false;
    const int reason = ERR_GET_REASON(static_cast<unsigned long>(ec.value()));
    return reason == SSL_R_WRONG_VERSION_NUMBER || reason == SSL_R_PACKET_LENGTH_TOO_LONG ||
           reason == SSL_R_UNKNOWN_PROTOCOL;
}

}  // namespace

std::unique_ptr<ssl::context> makeContext(const RpcTls& tls) {
    auto context = std::make_unique<ssl::context>(ssl::context::tls_client);
    SSL_CTX_set_min_proto_version(context->native_handle(), TLS1_2_VERSION);
    context->set_verify_mode(ssl::verify_peer);
    error_code ec;
    if (tls.caFile.empty()) {
        context->set_default_verify_paths(ec);
        if (ec)
            throw ETransportError(
                "As autoridades certificadoras do sistema não puderam ser lidas.");
        return context;
    }
    std::error_code fsError;
    if (!std::filesystem::is_regular_file(tls.caFile, fsError))
        throw ETransportError(rpcmsg::caFileUnusable(tls.caFile, "não foi encontrado"));
    if (!std::ifstream(tls.caFile).is_open())
        throw ETransportError(rpcmsg::caFileUnusable(tls.caFile, "não pôde ser lido"));
    context->load_verify_file(tls.caFile, ec);
    ERR_clear_error();
    if (ec)
        throw ETransportError(
            rpcmsg::caFileUnusable(tls.caFile, "não contém certificados PEM válidos"));
    return context;
}

void expectPeer(SSL* ssl, const std::string& host) {
    const std::string name = bareHost(host);
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
    if (isAddress(name)) {  // SNI carries names only
        X509_VERIFY_PARAM_set1_ip_asc(param, name.c_str());
        return;
    }
    SSL_set_tlsext_host_name(ssl, name.c_str());
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    X509_VERIFY_PARAM_set1_host(param, name.c_str(), name.size());
}

std::string handshakeFailure(SSL* ssl, const error_code& ec, const RpcTls& tls,
                             const std::string& host, int port) {
    const long verified = SSL_get_verify_result(ssl);
    ERR_clear_error();
    if (verified != X509_V_OK)
        return rpcmsg::certificateRefused(host, port, certificateFault(verified, tls, host));
    if (ec == boost::beast::error::timeout) return rpcmsg::tlsTimedOut(host, port);
    if (isNotTls(ec)) return rpcmsg::notHttps(host, port);
    if (ec == ssl::error::stream_truncated || ec == boost::asio::error::eof ||
        ec == boost::asio::error::connection_reset)
        return rpcmsg::tlsDropped(host, port);
    return rpcmsg::tlsFailed(host, port, ec.message());
}

}  // namespace tlsclient
