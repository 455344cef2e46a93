#include "support/FakeHttpServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <future>
#include <optional>
#include <thread>

#include "support/FakeAppServer.h"
#include "wire/Limits.h"

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using boost::system::error_code;

namespace {

class Session : public std::enable_shared_from_this<Session> {
  public:
    Session(tcp::socket socket, FakeAppServer& fake)
        : m_socket(std::move(socket)), m_timer(m_socket.get_executor()), m_fake(fake) {}

    void read() {
        m_parser.emplace();
        m_parser->body_limit(wire::kMaxBodyBytes);
        http::async_read(m_socket, m_buffer, *m_parser,
                         [self = shared_from_this()](error_code ec, std::size_t) {
                             if (ec) return self->close();
                             self->onRequest();
                         });
    }

    void close() {
        error_code ignored;
        m_timer.cancel();
        m_socket.shutdown(tcp::socket::shutdown_both, ignored);
        m_socket.close(ignored);
    }

  private:
    void onRequest() {
        auto request = m_parser->release();
        m_keepAlive = request.keep_alive();
        auto exchange = std::make_shared<FakeExchange>(m_fake.handle(
            std::string_view(request.target().data(), request.target().size()), request.body()));
        if (exchange->delay.count() == 0) return answer(*exchange);
        m_timer.expires_after(exchange->delay);
        m_timer.async_wait([self = shared_from_this(), exchange](error_code ec) {
            if (!ec) self->answer(*exchange);
        });
    }

    void answer(const FakeExchange& exchange) {
        switch (exchange.fault) {
            case FakeFault::CloseWithoutAnswer:
                return close();
            case FakeFault::ResetMidAnswer:
                m_raw =
                    "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
                    "100000\r\n\r\n" +
                    exchange.body.substr(0, 10);
                return writeRaw(true);
            case FakeFault::GarbageBytes:
                m_raw = "\x16\x03\x01 isto n\xc3\xa3o \xc3\xa9 HTTP\r\n\r\n";
                return writeRaw(false);
            default:
                break;
        }
        m_response = {static_cast<http::status>(exchange.status), 11};
        m_response.set(http::field::content_type, exchange.contentType);
        m_response.keep_alive(m_keepAlive);
        m_response.body() = exchange.body;
        m_response.prepare_payload();
        http::async_write(m_socket, m_response,
                          [self = shared_from_this()](error_code ec, std::size_t) {
                              if (ec || !self->m_keepAlive) return self->close();
                              self->read();
                          });
    }

    void writeRaw(bool reset) {
        asio::async_write(m_socket, asio::buffer(m_raw),
                          [self = shared_from_this(), reset](error_code, std::size_t) {
                              error_code ignored;
                              if (reset)
                                  self->m_socket.set_option(tcp::socket::linger(true, 0), ignored);
                              self->m_socket.close(ignored);
                          });
    }

    tcp::socket m_socket;
    asio::steady_timer m_timer;
    FakeAppServer& m_fake;
    beast::flat_buffer m_buffer;
    std::optional<http::request_parser<http::string_body>> m_parser;
    http::response<http::string_body> m_response;
    std::string m_raw;
    bool m_keepAlive = true;
};

}  // namespace

struct FakeHttpServer::Impl {
    explicit Impl(FakeAppServer& f)
        : fake(f), acceptor(io, {asio::ip::make_address("127.0.0.1"), 0}) {}

    void accept() {
        acceptor.async_accept([this](error_code ec, tcp::socket socket) {
            if (ec) return;  // the acceptor was closed
            error_code ignored;
            socket.set_option(tcp::no_delay(true), ignored);
            fake.countConnect();
            auto session = std::make_shared<Session>(std::move(socket), fake);
            sessions.push_back(session);
            session->read();
            accept();
        });
    }

    // Runs fn on the server thread and waits for it.
    template <class Fn>
    void onServerThread(Fn fn) {
        std::promise<void> done;
        asio::post(io, [&] {
            fn();
            done.set_value();
        });
        done.get_future().wait();
    }

    void closeSessions() {
        for (auto& weak : sessions)
            if (auto session = weak.lock()) session->close();
        sessions.clear();
    }

    FakeAppServer& fake;
    asio::io_context io;
    tcp::acceptor acceptor;
    std::vector<std::weak_ptr<Session>> sessions;  // touched on the server thread only
    std::thread thread;
};

FakeHttpServer::FakeHttpServer(FakeAppServer& fake) : m_impl(std::make_unique<Impl>(fake)) {
    m_impl->accept();
    m_impl->thread = std::thread([this] { m_impl->io.run(); });
}

FakeHttpServer::~FakeHttpServer() {
    m_impl->onServerThread([this] {
        error_code ignored;
        m_impl->acceptor.close(ignored);
        m_impl->closeSessions();
    });
    m_impl->io.stop();
    m_impl->thread.join();
}

int FakeHttpServer::port() const { return m_impl->acceptor.local_endpoint().port(); }

void FakeHttpServer::dropConnections() {
    m_impl->onServerThread([this] { m_impl->closeSessions(); });
}
