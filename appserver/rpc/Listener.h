#pragma once
// Accepts connections and hands each to a new Connection on its own strand. Beyond the
// connection limits, overall or from one address, a new connection is closed at once, so neither
// a flood nor one host holding every slot can exhaust the server.

#include <boost/asio/any_io_executor.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <functional>
#include <memory>

#include "rpc/ServingContext.h"
#include "wire/Status.h"

namespace appserver {

class Listener : public std::enable_shared_from_this<Listener> {
  public:
    // nextExecutor gives the I/O loop of each accepted connection.
    Listener(boost::asio::io_context& ioc,
             std::function<boost::asio::any_io_executor()> nextExecutor, ServingContext& context);
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Binds options.host:options.port; the error says why it could not.
    wire::Status open();
    unsigned short port() const;
    void start();
    // Thread-safe: closes the acceptor, then runs then() on the listener's strand, after which
    // no connection is accepted.
    void stop(std::function<void()> then);

  private:
    void accept();

    boost::asio::io_context& m_ioc;
    std::function<boost::asio::any_io_executor()> m_nextExecutor;
    boost::asio::ip::tcp::acceptor m_acceptor;
    boost::asio::steady_timer m_backoff;
    ServingContext& m_context;
    const ServerOptions& m_options;
    bool m_stopped = false;
};

}  // namespace appserver
