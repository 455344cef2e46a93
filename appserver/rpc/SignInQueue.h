#pragma once
// The password checks waiting for and running on the call workers. A check is expensive on
// purpose (Argon2id: 64 MiB and a sizeable fraction of a second), so no client may pile them up:
// an address has at most one attempt under way, from its admission to its verdict (the wait its
// failures earned included), and at most `capacity` attempts are under way in all. Beyond either
// bound the attempt is refused at once, for the client to retry. Checks run two at a time, in
// the order they were queued, so a newcomer waits behind at most one check of each other
// address. Thread-safe.

#include <boost/asio/any_io_executor.hpp>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>

namespace appserver {

class SignInQueue {
  public:
    SignInQueue(boost::asio::any_io_executor workers, std::size_t capacity, unsigned parallel = 2);
    SignInQueue(const SignInQueue&) = delete;
    SignInQueue& operator=(const SignInQueue&) = delete;

    // An address's attempt under way; its place is given back when the ticket dies. Move-only.
    class Ticket {
      public:
        Ticket() = default;
        Ticket(Ticket&& other) noexcept { *this = std::move(other); }
        Ticket& operator=(Ticket&& other) noexcept;
        ~Ticket();

        // Queues the check; it runs on a worker, and must not throw.
        void run(std::function<void()> check);

      private:
        friend class SignInQueue;
        SignInQueue* m_queue = nullptr;
        std::string m_address;
    };

    struct Admission {
        std::optional<Ticket> ticket;
        std::string refusal;  // no ticket: why, in the words the client is given
    };
    Admission admit(const std::string& address);

  private:
    void release(const std::string& address);
    void drain();

    boost::asio::any_io_executor m_workers;
    const std::size_t m_capacity;
    const unsigned m_parallel;
    std::mutex m_mutex;
    std::unordered_set<std::string> m_addresses;  // with an attempt under way
    std::deque<std::function<void()>> m_waiting;
    unsigned m_running = 0;  // drains under way on the workers
};

}  // namespace appserver
