#pragma once
// The first step of a connection to a server that serves HTTPS: reads just enough of what the
// client sends to tell a TLS handshake from plain HTTP, then hands the socket and those bytes to a
// TLS connection, or to a plain one that answers that this server wants HTTPS. A client that
// sends nothing is closed after the idle timeout.

#include <boost/beast/core.hpp>
#include <memory>

#include "ServingContext.h"

namespace appserver {

class TlsDetector : public std::enable_shared_from_this<TlsDetector> {
  public:
    TlsDetector(boost::asio::ip::tcp::socket socket, ServingContext& context);
    void start();

  private:
    boost::beast::tcp_stream m_stream;
    boost::beast::flat_buffer m_buffer;
    ServingContext& m_context;
};

}  // namespace appserver
