#pragma once
// One keep-alive HTTP connection: reads a request within the limits, answers it through
// handleRequest with the worker's Store, and reads the next. Header and body limits are checked
// before the body is read, so an oversized request never reaches memory. A slow client costs a
// timeout, never a stall: the idle timeout bounds the wait for a request's first byte, the header
// timeout the rest of its headers, and the body must keep a minimum average rate, so a trickle is
// dropped while a large upload that keeps moving is not. Runs on its own strand; shutdown() is
// thread-safe.

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "CallLog.h"
#include "ConnectionRegistry.h"
#include "GuardedBody.h"
#include "RequestHandler.h"
#include "ServerOptions.h"

namespace appserver {

class Connection : public std::enable_shared_from_this<Connection> {
  public:
    Connection(boost::asio::ip::tcp::socket socket, const ServerOptions& options,
               ConnectionRegistry& registry, CallLog& log);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start();
    // Closes the connection now if it waits for a request, else after the answer under way.
    void shutdown();

  private:
    void readRequest();
    void readHeader();
    void onHeader(boost::beast::error_code ec);
    void readBody();
    void onRead(boost::beast::error_code ec);
    void answer(Reply reply, unsigned version, bool keepAlive);
    void onWrite(bool keepAlive, boost::beast::error_code ec);
    void lingerAndClose();
    void close();

    boost::beast::tcp_stream m_stream;
    boost::beast::flat_buffer m_buffer;
    std::optional<boost::beast::http::request_parser<GuardedBody<boost::beast::http::string_body>>>
        m_parser;
    boost::beast::http::response<boost::beast::http::string_body> m_response;
    const ServerOptions& m_options;
    ConnectionRegistry& m_registry;
    CallLog& m_log;
    std::uint64_t m_id = 0;
    std::chrono::steady_clock::time_point m_bodyStart;
    std::uint64_t m_bodyBytes = 0;
    bool m_reading = false;
    bool m_stopping = false;
};

}  // namespace appserver
