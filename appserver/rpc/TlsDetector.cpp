#include "TlsDetector.h"

#include <boost/asio/dispatch.hpp>
#include <boost/beast/core/detect_ssl.hpp>

#include "Connection.h"

namespace appserver {

namespace beast = boost::beast;

TlsDetector::TlsDetector(boost::asio::ip::tcp::socket socket, ServingContext& context)
    : m_stream(std::move(socket)), m_context(context) {}

void TlsDetector::start() {
    boost::asio::dispatch(m_stream.get_executor(), [self = shared_from_this()] {
        self->m_stream.expires_after(self->m_context.options.idleTimeout);
        beast::async_detect_ssl(
            self->m_stream, self->m_buffer, [self](beast::error_code ec, bool isTls) {
                if (ec) {
                    beast::error_code ignored;
                    self->m_stream.socket().close(ignored);
                    return;
                }
                if (isTls) {
                    std::make_shared<TlsConnection>(
                        beast::ssl_stream<beast::tcp_stream>(std::move(self->m_stream),
                                                             *self->m_context.tls),
                        std::move(self->m_buffer), self->m_context)
                        ->start();
                } else {
                    std::make_shared<PlainConnection>(
                        std::move(self->m_stream), std::move(self->m_buffer), self->m_context, true)
                        ->start();
                }
            });
    });
}

}  // namespace appserver
