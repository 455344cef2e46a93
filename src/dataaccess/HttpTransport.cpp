#include "dataaccess/HttpTransport.h"

#include <poll.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl/ssl_stream.hpp>
#include <optional>

#include "dataaccess/RpcMessages.h"
#include "dataaccess/TCredentials.h"
#include "dataaccess/TlsClient.h"
#include "wire/Limits.h"

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using boost::system::error_code;

namespace {

bool isDrop(const error_code& ec) {
    return ec == http::error::end_of_stream || ec == http::error::partial_message ||
           ec == asio::error::eof || ec == asio::error::connection_reset ||
           ec == asio::error::connection_aborted || ec == asio::error::broken_pipe ||
           ec == asio::error::operation_aborted || ec == asio::ssl::error::stream_truncated;
}

}  // namespace

struct HttpTransport::Impl {
    RpcTimeouts timeouts;
    RpcTls tls;
    std::string authorization;
    asio::io_context io;
    std::unique_ptr<asio::ssl::context> tlsContext;  // made by the first TLS connection
    // One of them is present while open.
    std::optional<beast::tcp_stream> plain;
    std::optional<beast::ssl_stream<beast::tcp_stream>> secure;
    beast::flat_buffer buffer;
    std::string host;
    int port = 0;
    int connects = 0;

    ~Impl() { TCredentials::Wipe(authorization); }

    bool isOpen() const { return plain || secure; }
    beast::tcp_stream& tcp() { return secure ? beast::get_lowest_layer(*secure) : *plain; }
    template <class Operation>
    void onStream(Operation&& operation) {
        if (secure)
            operation(*secure);
        else
            operation(*plain);
    }

    RpcWaiter* waiter = nullptr;

    // Runs the one operation just started to its completion; the stream's expiry bounds it.
    void run() {
        io.restart();
        if (!waiter) {
            io.run();
            return;
        }
        waiter->wait(
            [this](RpcWaiter::Deadline until) {
                if (std::chrono::steady_clock::now() < until)
                    io.run_until(until);
                else
                    io.poll();  // what is ready already completes here
                return io.stopped();
            },
            [this] { io.run(); });
    }

    void connect() {
        error_code ec;
        // Asynchronous so that a slow name lookup is waited for like the rest of the I/O.
        tcp::resolver resolver(io);
        tcp::resolver::results_type endpoints;
        resolver.async_resolve(host, std::to_string(port),
                               [&](const error_code& e, tcp::resolver::results_type found) {
                                   ec = e;
                                   endpoints = std::move(found);
                               });
        run();
        if (ec) {
            if (ec == asio::error::host_not_found || ec == asio::error::host_not_found_try_again ||
                ec == asio::error::no_data || ec == asio::error::service_not_found)
                throw ETransportError(rpcmsg::hostNotFound(host, port));
            throw ETransportError(rpcmsg::connectFailed(host, port, ec.message()));
        }
        if (tls.enabled) {
            if (!tlsContext) tlsContext = tlsclient::makeContext(tls);
            secure.emplace(io, *tlsContext);
        } else {
            plain.emplace(io);
        }
        // The TLS handshake shares the connect deadline.
        tcp().expires_after(timeouts.connect);
        tcp().async_connect(endpoints, [&](const error_code& e, const tcp::endpoint&) { ec = e; });
        run();
        if (ec) {
            drop();
            if (ec == asio::error::connection_refused)
                throw ETransportError(rpcmsg::refused(host, port));
            if (ec == beast::error::timeout)
                throw ETransportError(rpcmsg::connectTimedOut(host, port));
            throw ETransportError(rpcmsg::connectFailed(host, port, ec.message()));
        }
        tcp().socket().set_option(tcp::no_delay(true), ec);
        if (secure) handshake();
        ++connects;
    }

    void handshake() {
        tlsclient::expectPeer(secure->native_handle(), host);
        error_code ec;
        secure->async_handshake(asio::ssl::stream_base::client,
                                [&](const error_code& e) { ec = e; });
        run();
        if (!ec) return;
        std::string why = tlsclient::handshakeFailure(secure->native_handle(), ec, tls, host, port);
        drop();
        throw ETransportError(why);
    }

    void drop() {
        if (isOpen()) {
            error_code ignored;
            tcp().socket().shutdown(tcp::socket::shutdown_both, ignored);
            tcp().socket().close(ignored);
            plain.reset();
            secure.reset();
        }
        buffer.clear();
    }

    // True when the server closed the idle connection or left bytes nobody asked for on it.
    bool stale() {
        if (buffer.size() != 0) return true;
        if (secure) {
            // A TLS 1.3 server sends its session tickets after the handshake: they wait unread
            // in the socket, so only the peer's FIN or an error tells a closed connection.
            pollfd p{tcp().socket().native_handle(), POLLRDHUP, 0};
            return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
        }
        pollfd p{tcp().socket().native_handle(), POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0) return false;
        return true;  // readable while idle: either the peer's FIN or stray data
    }

    http::response<http::string_body> exchange(const std::string& target, const std::string& body) {
        http::request<http::span_body<const char>> request{
            http::verb::post, target, 11, beast::span<const char>(body.data(), body.size())};
        request.set(http::field::host, rpcmsg::endpoint(host, port));
        request.set(http::field::content_type, "application/json");
        if (!authorization.empty()) request.set(http::field::authorization, authorization);
        request.keep_alive(true);
        request.prepare_payload();

        error_code ec;
        tcp().expires_after(timeouts.answer);  // one deadline for sending and answering
        onStream([&](auto& stream) {
            http::async_write(stream, request, [&](const error_code& e, std::size_t) { ec = e; });
        });
        run();
        if (ec) fail(ec, true);

        http::response_parser<http::string_body> parser;
        parser.body_limit(wire::kMaxBodyBytes);
        onStream([&](auto& stream) {
            http::async_read(stream, buffer, parser,
                             [&](const error_code& e, std::size_t) { ec = e; });
        });
        run();
        if (ec) fail(ec, false);
        tcp().expires_never();
        return parser.release();
    }

    [[noreturn]] void fail(const error_code& ec, bool sending) {
        drop();
        if (ec == beast::error::timeout)
            throw ETransportError(rpcmsg::answerTimedOut(host, port, timeouts.answer));
        if (ec == http::error::body_limit) throw ETransportError(rpcmsg::tooLarge(host, port));
        if (sending || isDrop(ec))
            throw ETransportError(sending ? rpcmsg::sendFailed(host, port)
                                          : rpcmsg::dropped(host, port));
        if (ec.category() == http::make_error_code(http::error::bad_version).category())
            throw ETransportError(rpcmsg::notUnderstood(host, port, "HTTP inválido"));
        throw ETransportError(rpcmsg::dropped(host, port));
    }
};

HttpTransport::HttpTransport(RpcTimeouts timeouts) : m_impl(std::make_unique<Impl>()) {
    m_impl->timeouts = timeouts;
}

HttpTransport::~HttpTransport() { m_impl->drop(); }

void HttpTransport::open(const std::string& host, int port) {
    m_impl->drop();
    m_impl->host = host;
    m_impl->port = port;
    m_impl->connect();
}

void HttpTransport::close() { m_impl->drop(); }

bool HttpTransport::setWaiter(RpcWaiter* waiter) {
    m_impl->waiter = waiter;
    return true;
}

void HttpTransport::setTls(const RpcTls& tls) {
    if (tls == m_impl->tls) return;
    m_impl->drop();
    m_impl->tls = tls;
    m_impl->tlsContext.reset();
}

void HttpTransport::setAuthorization(const std::string& header) {
    TCredentials::Wipe(m_impl->authorization);
    m_impl->authorization = header;
}

bool HttpTransport::isOpen() const { return m_impl->isOpen(); }

int HttpTransport::connectCount() const { return m_impl->connects; }

std::string HttpTransport::post(const std::string& target, const std::string& body) {
    Impl& d = *m_impl;
    if (!d.isOpen()) throw ETransportError(rpcmsg::notOpen(d.host, d.port));
    if (d.stale()) {
        d.drop();
        d.connect();
    }
    auto response = d.exchange(target, body);
    if (!response.keep_alive()) d.drop();
    if (response.result() == http::status::ok) return std::move(response.body());
    const auto type = response[http::field::content_type];
    if (type.starts_with("application/json") && !response.body().empty())
        return std::move(response.body());
    throw EHttpStatusError(
        rpcmsg::httpStatus(d.host, d.port, response.result_int(), std::string(response.reason())),
        response.result_int());
}
