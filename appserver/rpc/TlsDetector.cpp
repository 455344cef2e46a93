#include "rpc/TlsDetector.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core/detect_ssl.hpp>

#include "rpc/Connection.h"

namespace appserver {

namespace beast = boost::beast;

TlsDetector::TlsDetector(boost::asio::ip::tcp::socket socket, ServingContext& context,
                         ConnectionRegistry::Slot slot)
    : m_stream(std::move(socket)),
      m_strand(m_stream.get_executor()),
      m_context(context),
      m_slot(std::move(slot)) {}

void TlsDetector::start() {
    const bool stopping = !m_slot.attach(weak_from_this());
    boost::asio::dispatch(m_strand, [self = shared_from_this(), stopping] {
        if (stopping) return self->close();
        self->m_stream.expires_after(self->m_context.options.idleTimeout);
        beast::async_detect_ssl(
            self->m_stream, self->m_buffer, [self](beast::error_code ec, bool isTls) {
                if (ec) return self->close();
                self->m_handedOver = true;
                if (isTls) {
                    std::make_shared<TlsConnection>(
                        beast::ssl_stream<beast::tcp_stream>(std::move(self->m_stream),
                                                             *self->m_context.tls),
                        std::move(self->m_buffer), self->m_context, std::move(self->m_slot))
                        ->start();
                } else {
                    std::make_shared<PlainConnection>(std::move(self->m_stream),
                                                      std::move(self->m_buffer), self->m_context,
                                                      std::move(self->m_slot), true)
                        ->start();
                }
            });
    });
}

// Nothing has been asked yet, so there is nothing to finish. Once handed over, the connection
// that took the socket answers the stop.
void TlsDetector::shutdown() {
    boost::asio::post(m_strand, [self = shared_from_this()] { self->close(); });
}

void TlsDetector::close() {
    if (m_handedOver) return;
    beast::error_code ignored;
    m_stream.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_both, ignored);
    m_stream.socket().close(ignored);
}

}  // namespace appserver
