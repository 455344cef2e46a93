#pragma once
// The first step of a connection to a server that serves HTTPS: reads just enough of what the
// client sends to tell a TLS handshake from plain HTTP, then hands the socket, those bytes and its
// slot among the server's connections to a TLS connection, or to a plain one that answers that
// this server wants HTTPS. Until then it counts against the connection limits like any
// connection; a client that sends nothing is closed after the idle timeout, or at a stop.

#include <boost/beast/core.hpp>
#include <memory>

#include "rpc/ConnectionRegistry.h"
#include "rpc/ServingContext.h"

namespace appserver {

class TlsDetector : public Connection, public std::enable_shared_from_this<TlsDetector> {
  public:
    TlsDetector(boost::asio::ip::tcp::socket socket, ServingContext& context,
                ConnectionRegistry::Slot slot);
    TlsDetector(const TlsDetector&) = delete;
    TlsDetector& operator=(const TlsDetector&) = delete;

    void start();
    void shutdown() override;

  private:
    void close();

    boost::beast::tcp_stream m_stream;
    boost::asio::any_io_executor m_strand;  // m_stream's, kept apart: the stream moves on
    boost::beast::flat_buffer m_buffer;
    ServingContext& m_context;
    ConnectionRegistry::Slot m_slot;
    bool m_handedOver = false;
};

}  // namespace appserver
