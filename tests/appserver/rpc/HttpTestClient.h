#pragma once
// A blocking loopback client for server tests: sends raw bytes (so malformed HTTP can be sent)
// and reads answers with Beast. Every read gives up after a few seconds instead of hanging.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace appserver::testing {

using HttpResponse = boost::beast::http::response<boost::beast::http::string_body>;

class HttpTestClient {
  public:
    explicit HttpTestClient(unsigned short port,
                            std::chrono::milliseconds readTimeout = std::chrono::seconds(5));
    // From a loopback source address of its own (127.0.0.2, ...), standing for another host.
    HttpTestClient(unsigned short port, std::string_view source,
                   std::chrono::milliseconds readTimeout = std::chrono::seconds(5));
    HttpTestClient(const HttpTestClient&) = delete;
    HttpTestClient& operator=(const HttpTestClient&) = delete;

    bool connected() const { return m_connected; }
    // False when the server closed or reset the connection.
    bool send(std::string_view bytes);
    void shutdownSend();
    // The next answer; nullopt when the connection closed (or timed out) before one came.
    std::optional<HttpResponse> read();
    // POSTs a JSON-RPC body to the module and reads the answer.
    std::optional<HttpResponse> post(std::string_view body, std::string_view extraHeaders = {});
    // Sends a request without a body (GET /health, for instance) and reads the answer.
    std::optional<HttpResponse> request(std::string_view verb, std::string_view target);
    // True when the server closes the connection within the time (data read meanwhile is dropped).
    bool closedWithin(std::chrono::milliseconds within);

  private:
    boost::asio::io_context m_ioc;
    boost::asio::ip::tcp::socket m_socket;
    boost::beast::flat_buffer m_buffer;
    std::chrono::milliseconds m_timeout;
    bool m_connected = false;
};

// A request line and headers for a POST to the module with that body.
std::string postRequest(std::string_view body, std::string_view extraHeaders = {});

// "Authorization: Basic base64(user:password)\r\n", for extraHeaders.
std::string basicAuthorization(std::string_view user, std::string_view password);

}  // namespace appserver::testing
