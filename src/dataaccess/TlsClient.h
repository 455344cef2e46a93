#pragma once
// The client side of TLS for HttpTransport: a context that always verifies the server's
// certificate (TLS 1.2 or newer), the server's name set on each connection for SNI and for the
// certificate's name check, and a handshake failure told in the user's words. Kept apart so that
// OpenSSL's details stay out of the transport.

#include <boost/asio/ssl/context.hpp>
#include <boost/system/error_code.hpp>
#include <memory>
#include <string>

#include "dataaccess/RpcTransport.h"

typedef struct ssl_st SSL;

namespace tlsclient {

// Throws ETransportError naming tls.caFile when it cannot be read or holds no certificate.
std::unique_ptr<boost::asio::ssl::context> makeContext(const RpcTls& tls);

// Before the handshake: SNI for a host name, and the name (or IP address) the certificate must
// carry.
void expectPeer(SSL* ssl, const std::string& host);

// Why the handshake of ssl with host:port failed, for the user: the certificate's fault (expired,
// untrusted, another name) when verification refused it, else what the server's answer shows.
std::string handshakeFailure(SSL* ssl, const boost::system::error_code& ec, const RpcTls& tls,
                             const std::string& host, int port);

}  // namespace tlsclient
