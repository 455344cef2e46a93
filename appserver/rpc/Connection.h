#pragma once
// One keep-alive HTTP connection: reads a request within the limits, hands it to a worker that
// answers it through handleRequest with its Store, writes the answer and reads the next. Header and
// body limits are checked before the body is read, so an oversized request never reaches memory;
// a body is read only once the server's budget for bodies in flight can hold it, else the client
// is told to retry. A slow client costs a timeout, never a stall: the idle timeout bounds the wait
// for a request's first byte, the header timeout the rest of its headers (and a TLS handshake),
// and the body must keep a minimum average rate, so a trickle is dropped while a large upload that
// keeps moving is not. Runs on its own strand; shutdown() is thread-safe.
//
// The same connection serves plain HTTP and HTTPS (Stream is a TCP stream or a TLS stream over
// one). On a server that serves HTTPS, a client speaking plain HTTP is answered 400 saying so.

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>

#include "rpc/BodyBudget.h"
#include "rpc/ConnectionSignIn.h"
#include "rpc/GuardedBody.h"
#include "rpc/RequestHandler.h"
#include "rpc/ServingContext.h"

namespace appserver {

template <class Stream>
class HttpConnection : public Connection,
                       public std::enable_shared_from_this<HttpConnection<Stream>> {
  public:
    static constexpr bool kTls =
        !std::is_same_v<Stream, boost::beast::tcp_stream>;  // else plain HTTP

    // buffer: what was read from the socket before (the first bytes, to tell TLS from HTTP).
    // slot: its place among the server's connections, taken at accept.
    // httpsOnly: a plain connection to a server that serves HTTPS, answered 400 whatever it asks.
    HttpConnection(Stream stream, boost::beast::flat_buffer buffer, ServingContext& context,
                   ConnectionRegistry::Slot slot, bool httpsOnly = false);
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    void start();
    void shutdown() override;

  private:
    using Request = boost::beast::http::request<GuardedBody<boost::beast::http::string_body>>;

    void readRequest();
    void readHeader();
    void onHeader(boost::beast::error_code ec);
    void signIn();
    void admitBody();
    void readBody();
    void onRead(boost::beast::error_code ec);
    void call();
    // Runs on a worker: the call itself, with that worker's store.
    Reply runCall(const Request& request, std::string_view user) const;
    void refuse(Reply refused);
    void answer(Reply reply, unsigned version, bool keepAlive);
    void onWrite(bool keepAlive, boost::beast::error_code ec);
    void lingerAndClose();
    void close();

    void handshake();
    boost::beast::tcp_stream& tcp() { return boost::beast::get_lowest_layer(m_stream); }

    Stream m_stream;
    boost::beast::flat_buffer m_buffer;
    std::optional<boost::beast::http::request_parser<GuardedBody<boost::beast::http::string_body>>>
        m_parser;
    boost::beast::http::response<boost::beast::http::string_body> m_response;
    std::optional<boost::beast::http::response_serializer<boost::beast::http::string_body>>
        m_serializer;
    ServingContext& m_context;
    const ServerOptions& m_options;
    ConnectionRegistry::Slot m_slot;
    BodyBudget::Lease m_body;   // the budget held by the request being read
    ConnectionSignIn m_signIn;  // who calls on this connection
    std::chrono::steady_clock::time_point m_bodyStart;
    std::uint64_t m_bodyBytes = 0;
    bool m_reading = false;
    bool m_stopping = false;
    bool m_httpsOnly = false;
};

using PlainConnection = HttpConnection<boost::beast::tcp_stream>;
using TlsConnection = HttpConnection<boost::beast::ssl_stream<boost::beast::tcp_stream>>;

}  // namespace appserver
