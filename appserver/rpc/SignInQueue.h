#pragma once
// The password checks waiting for and running on the call workers. A check is expensive on
// purpose (Argon2id: 64 MiB and a sizeable fraction of a second), so no client may pile them up:
// an address has at most one check running at a time, the others from it wait their turn, and
// at most `capacity` addresses have attempts under way (from admission to verdict, the wait
// their failures earned included); beyond that a new address is refused at once, for the client
// to retry. Checks run two at a time, addresses taking turns, so a newcomer waits behind at most
// one check of each other address; addresses whose attempts have been failing take their turns
// after all the others, so a host signing in for the first time is not held up by a storm of
// guesses. Thread-safe.

#include <boost/asio/any_io_executor.hpp>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace appserver {

class SignInQueue {
  public:
    SignInQueue(boost::asio::any_io_executor workers, std::size_t capacity, unsigned parallel = 2);
    SignInQueue(const SignInQueue&) = delete;
    SignInQueue& operator=(const SignInQueue&) = delete;

    // One attempt under way; its address's place is given back when the last ticket of the
    // address dies. Move-only.
    class Ticket {
      public:
        Ticket();  // out of line: a nested class's default member values are not known yet here
        Ticket(Ticket&& other) noexcept { *this = std::move(other); }
        Ticket& operator=(Ticket&& other) noexcept;
        ~Ticket();

        // Queues the check behind the address's earlier ones; failing: the address has been
        // failing, so it takes its turns after the others. Runs on a worker; must not throw.
        void run(std::function<void()> check, bool failing = false);

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
    struct Address {
        std::size_t tickets = 0;                    // attempts under way
        std::deque<std::function<void()>> waiting;  // checks queued, oldest first
        bool running = false;                       // one of its checks runs now
        bool inTurn = false;                        // in one of the turn lists
        bool failing = false;                       // its turns come after the others'
    };

    void release(const std::string& address);
    // Puts the address in line for its next turn, if it has a check waiting and none running.
    void takeTurn(const std::string& address, Address& state);
    void drain();

    boost::asio::any_io_executor m_workers;
    const std::size_t m_capacity;
    const unsigned m_parallel;
    std::mutex m_mutex;
    std::unordered_map<std::string, Address> m_addresses;  // with an attempt under way
    std::deque<std::string> m_turns;                       // addresses without failures
    std::deque<std::string> m_failingTurns;
    unsigned m_running = 0;  // drains under way on the workers
};

}  // namespace appserver
