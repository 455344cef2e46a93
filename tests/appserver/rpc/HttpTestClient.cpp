#include "HttpTestClient.h"

#include <openssl/evp.h>
#include <poll.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/write.hpp>

namespace appserver::testing {

namespace asio = boost::asio;
namespace http = boost::beast::http;

namespace {

// The socket as a SyncReadStream whose reads give up after a timeout (asio's own blocking reads
// would wait forever).
struct TimedStream {
    asio::ip::tcp::socket& socket;
    std::chrono::milliseconds timeout;

    template <class Buffers>
    std::size_t read_some(const Buffers& buffers, boost::system::error_code& ec) {
        pollfd p{socket.native_handle(), POLLIN, 0};
        int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
        if (ready <= 0) {
            ec = asio::error::timed_out;
            return 0;
        }
        return socket.read_some(buffers, ec);
    }
    template <class Buffers>
    std::size_t read_some(const Buffers& buffers) {
        boost::system::error_code ec;
        auto n = read_some(buffers, ec);
        if (ec) throw boost::system::system_error(ec);
        return n;
    }
};

}  // namespace

HttpTestClient::HttpTestClient(unsigned short port, std::chrono::milliseconds readTimeout)
    : HttpTestClient(port, "127.0.0.1", readTimeout) {}

HttpTestClient::HttpTestClient(unsigned short port, std::string_view source,
                               std::chrono::milliseconds readTimeout)
    : m_socket(m_ioc), m_timeout(readTimeout) {
    boost::system::error_code ec;
    const auto address = asio::ip::make_address(std::string(source), ec);
    if (!ec) m_socket.open(asio::ip::tcp::v4(), ec);
    if (!ec) m_socket.bind({address, 0}, ec);
    if (!ec) m_socket.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
    m_connected = !ec;
}

bool HttpTestClient::send(std::string_view bytes) {
    boost::system::error_code ec;
    asio::write(m_socket, asio::buffer(bytes.data(), bytes.size()), ec);
    return !ec;
}

void HttpTestClient::shutdownSend() {
    boost::system::error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
}

std::optional<HttpResponse> HttpTestClient::read() {
    HttpResponse response;
    http::response_parser<http::string_body> parser;
    parser.body_limit(512u * 1024 * 1024);
    boost::system::error_code ec;
    TimedStream stream{m_socket, m_timeout};
    http::read(stream, m_buffer, parser, ec);
    if (ec) return std::nullopt;
    return parser.release();
}

std::optional<HttpResponse> HttpTestClient::post(std::string_view body,
                                                 std::string_view extraHeaders) {
    if (!send(postRequest(body, extraHeaders))) return std::nullopt;
    return read();
}

std::optional<HttpResponse> HttpTestClient::request(std::string_view verb,
                                                    std::string_view target) {
    std::string r(verb);
    r += ' ';
    r += target;
    r += " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    if (!send(r)) return std::nullopt;
    return read();
}

bool HttpTestClient::closedWithin(std::chrono::milliseconds within) {
    TimedStream stream{m_socket, within};
    char scratch[4096];
    for (;;) {
        boost::system::error_code ec;
        stream.read_some(asio::buffer(scratch), ec);
        if (!ec) continue;
        return ec != asio::error::timed_out;
    }
}

std::string postRequest(std::string_view body, std::string_view extraHeaders) {
    std::string r =
        "POST /VLP27000.rdmSugestaoProd HTTP/1.1\r\nHost: 127.0.0.1\r\n"
        "Content-Type: application/json\r\nContent-Length: " +
        std::to_string(body.size()) + "\r\n";
    r += extraHeaders;
    r += "\r\n";
    r += body;
    return r;
}

std::string basicAuthorization(std::string_view user, std::string_view password) {
    const std::string pair = std::string(user) + ":" + std::string(password);
    std::string encoded(4 * ((pair.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                                  reinterpret_cast<const unsigned char*>(pair.data()),
                                  static_cast<int>(pair.size()));
    encoded.resize(static_cast<std::size_t>(n));
    return "Authorization: Basic " + encoded + "\r\n";
}

}  // namespace appserver::testing
