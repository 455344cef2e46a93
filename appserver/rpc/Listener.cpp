#include "rpc/Listener.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <chrono>

#include "rpc/Connection.h"
#include "rpc/TlsDetector.h"

namespace appserver {

namespace asio = boost::asio;
using asio::ip::tcp;

Listener::Listener(asio::io_context& ioc, std::function<asio::any_io_executor()> nextExecutor,
                   ServingContext& context)
    : m_ioc(ioc),
      m_nextExecutor(std::move(nextExecutor)),
      m_acceptor(asio::make_strand(ioc)),
      m_backoff(m_acceptor.get_executor()),
      m_context(context),
      m_options(context.options) {}

wire::Status Listener::open() {
    boost::system::error_code ec;
    auto address = asio::ip::make_address(m_options.host, ec);
    if (ec) {
        tcp::resolver resolver(m_ioc);
        auto found = resolver.resolve(m_options.host, std::to_string(m_options.port), ec);
        if (ec || found.empty())
            return {wire::ErrorCode::Unavailable,
                    "endereço desconhecido: " + m_options.host + " (" + ec.message() + ")"};
        address = found.begin()->endpoint().address();
    }
    tcp::endpoint endpoint(address, m_options.port);
    auto fail = [&](const char* what) {
        return wire::Status(wire::ErrorCode::Unavailable, std::string(what) + " " + m_options.host +
                                                              ":" + std::to_string(m_options.port) +
                                                              ": " + ec.message());
    };
    m_acceptor.open(endpoint.protocol(), ec);
    if (ec) return fail("não foi possível abrir");
    m_acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    m_acceptor.bind(endpoint, ec);
    if (ec) return fail("não foi possível escutar em");
    m_acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) return fail("não foi possível escutar em");
    return wire::Status::ok();
}

unsigned short Listener::port() const {
    boost::system::error_code ec;
    return m_acceptor.local_endpoint(ec).port();
}

void Listener::start() {
    asio::dispatch(m_acceptor.get_executor(), [self = shared_from_this()] { self->accept(); });
}

void Listener::stop(std::function<void()> then) {
    asio::post(m_acceptor.get_executor(), [self = shared_from_this(), then = std::move(then)] {
        self->m_stopped = true;
        boost::system::error_code ignored;
        self->m_acceptor.close(ignored);
        self->m_backoff.cancel();
        if (then) then();
    });
}

void Listener::accept() {
    if (m_stopped) return;
    m_acceptor.async_accept(
        asio::make_strand(m_nextExecutor()),
        [self = shared_from_this()](boost::system::error_code ec, tcp::socket socket) {
            if (self->m_stopped) return;
            if (ec) {
                if (ec == asio::error::operation_aborted) return;
                // Out of descriptors or similar: pause instead of spinning on the error.
                self->m_context.log.note("aceitar conexão falhou: " + ec.message());
                self->m_backoff.expires_after(std::chrono::milliseconds(100));
                self->m_backoff.async_wait([self](boost::system::error_code waitEc) {
                    if (!waitEc) self->accept();
                });
                return;
            }
            boost::system::error_code peerEc;
            const auto peer = socket.remote_endpoint(peerEc);
            auto slot =
                peerEc ? std::nullopt : self->m_context.registry.admit(peer.address().to_string());
            if (!slot) {
                boost::system::error_code ignored;
                socket.close(ignored);
            } else if (self->m_context.tls) {
                std::make_shared<TlsDetector>(std::move(socket), self->m_context, std::move(*slot))
                    ->start();
            } else {
                std::make_shared<PlainConnection>(boost::beast::tcp_stream(std::move(socket)),
                                                  boost::beast::flat_buffer(), self->m_context,
                                                  std::move(*slot))
                    ->start();
            }
            self->accept();
        });
}

}  // namespace appserver
