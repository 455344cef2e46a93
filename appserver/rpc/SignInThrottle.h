#pragma once
// Slows down guessing: each failed sign-in from an address makes its next attempts wait longer
// (250 ms after the second failure in a row, doubling up to 16 s), and a success or a quiet
// quarter of an hour forgets them. Bounded memory: beyond its capacity the oldest addresses are
// forgotten first. Thread-safe.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace appserver {

class SignInThrottle {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SignInThrottle(std::size_t capacity = 4096) : m_capacity(capacity) {}

    // How long an attempt from address must wait before it is checked.
    std::chrono::milliseconds delayFor(const std::string& address,
                                       Clock::time_point now = Clock::now());
    void failed(const std::string& address, Clock::time_point now = Clock::now());
    void succeeded(const std::string& address);

  private:
    struct Failures {
        unsigned count = 0;
        Clock::time_point last;
    };

    void forgetOldest();

    std::mutex m_mutex;
    std::size_t m_capacity;
    std::unordered_map<std::string, Failures> m_failures;
};

}  // namespace appserver
