#pragma once
// The application server: I/O threads serving the asynchronous HTTP listener and connections, and
// worker threads, each with its own Store, running the calls they read. Idle keep-alive
// connections hold no thread, and a long call holds only its worker. stop() lets calls under way
// finish and starts no new ones.

#include <memory>

#include "rpc/CallLog.h"
#include "rpc/ServerOptions.h"
#include "store/Store.h"
#include "wire/Status.h"

namespace appserver {

class Server {
  public:
    // factory and log must outlive the server.
    Server(ServerOptions options, StoreFactory& factory, CallLog& log);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Opens one Store per I/O loop and per worker and binds the address; on failure nothing is
    // served.
    wire::Status start();
    // The bound port (the one chosen when options.port was 0).
    unsigned short port() const;
    // SIGINT and SIGTERM call stop(); a second one ends the process at once (writes are
    // transactional, so nothing acknowledged is lost). Call after start(), before run().
    void stopOnSignals();
    // Serves on the calling thread (an I/O loop), options.ioThreads - 1 more and the workers,
    // until stop() completes.
    void run();
    // Thread-safe and idempotent.
    void stop();
    std::size_t openConnections() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace appserver
