#pragma once
// The server's TLS settings: its certificate chain and private key (PEM files), TLS 1.2 and
// newer only, TLS 1.2 with ECDHE key exchange and AEAD ciphers only.

#include <boost/asio/ssl/context.hpp>
#include <memory>
#include <string>

#include "wire/Status.h"

namespace appserver {

// The error names the file that could not be used and why.
wire::Result<std::unique_ptr<boost::asio::ssl::context>> makeServerTlsContext(
    const std::string& certificateFile, const std::string& keyFile);

// True when the context's certificate is past its end of validity.
bool certificateExpired(boost::asio::ssl::context& context);

}  // namespace appserver
