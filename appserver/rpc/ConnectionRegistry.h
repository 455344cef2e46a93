#pragma once
// The open connections of one server: counted for the connection limit and reachable for a
// graceful stop. Thread-safe.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace appserver {

class Connection;

class ConnectionRegistry {
  public:
    ConnectionRegistry() = default;
    ConnectionRegistry(const ConnectionRegistry&) = delete;
    ConnectionRegistry& operator=(const ConnectionRegistry&) = delete;

    std::uint64_t add(std::weak_ptr<Connection> connection);
    void remove(std::uint64_t id);
    std::size_t size() const;
    // Asks every open connection to close once its call under way, if any, is answered.
    void shutdownAll();
    // True once shutdownAll ran: answers then go out with "Connection: close".
    bool stopping() const { return m_stopping; }

  private:
    std::atomic<bool> m_stopping{false};
    mutable std::mutex m_mutex;
    std::uint64_t m_next = 0;
    std::unordered_map<std::uint64_t, std::weak_ptr<Connection>> m_connections;
};

// The Store of the worker thread running the current handler; null outside worker threads.
class Store;
Store*& workerStore();

}  // namespace appserver
