#pragma once
// The open connections of one server: counted against the connection limits, overall and per
// client address, and reachable for a graceful stop. A connection holds its Slot from accept to
// close, the TLS detector's first look included, so a client that never sends a byte counts and
// is closed at a stop like any other. Thread-safe.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace appserver {

// What the registry knows of a connection.
class Connection {
  public:
    virtual ~Connection() = default;
    // Closes the connection now if it waits for a request, else after the answer under way.
    virtual void shutdown() = 0;
};

class ConnectionRegistry {
  public:
    ConnectionRegistry(std::size_t maxConnections, std::size_t maxPerAddress)
        : m_max(maxConnections), m_maxPerAddress(maxPerAddress) {}
    ConnectionRegistry(const ConnectionRegistry&) = delete;
    ConnectionRegistry& operator=(const ConnectionRegistry&) = delete;

    // One admitted connection's place; freed when the slot is destroyed. Move-only.
    class Slot {
      public:
        Slot() = default;
        Slot(Slot&& other) noexcept { *this = std::move(other); }
        Slot& operator=(Slot&& other) noexcept;
        ~Slot();

        // Makes connection the one a stop asks to close. False when the server is stopping
        // already: the caller closes it itself.
        bool attach(std::weak_ptr<Connection> connection);
        const std::string& address() const { return m_address; }
        std::uint64_t id() const { return m_id; }

      private:
        friend class ConnectionRegistry;
        ConnectionRegistry* m_registry = nullptr;
        std::uint64_t m_id = 0;
        std::string m_address;
    };

    // A slot for a new connection from address; nullopt when the server holds its limit of
    // connections, or that address holds its own.
    std::optional<Slot> admit(const std::string& address);
    std::size_t size() const;
    // Asks every open connection to close once its call under way, if any, is answered.
    void shutdownAll();
    // True once shutdownAll ran: answers then go out with "Connection: close".
    bool stopping() const { return m_stopping.load(); }

  private:
    struct Entry {
        std::weak_ptr<Connection> connection;
        std::string address;
    };
    void release(std::uint64_t id);

    const std::size_t m_max;
    const std::size_t m_maxPerAddress;
    mutable std::mutex m_mutex;
    std::atomic<bool> m_stopping{false};  // written under m_mutex; read on every answer
    std::uint64_t m_next = 0;
    std::unordered_map<std::uint64_t, Entry> m_connections;
    std::unordered_map<std::string, std::size_t> m_perAddress;
};

// The Store of the worker thread running the current handler; null outside worker threads.
class Store;
Store*& workerStore();

}  // namespace appserver
