#pragma once
// Slows down guessing one user's password from one address: every attempt counts as soon as it
// is queued, before its verdict, so attempts sent side by side are slowed as if they came one
// after the other; from the third attempt in a row each waits longer before it is checked
// (250 ms, doubling up to 16 s). That user's success from that address, or a quiet quarter of an
// hour, forgets them; another account's success does not. Bounded memory: beyond its capacity
// the oldest are forgotten first. Thread-safe.

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace appserver {

class SignInThrottle {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SignInThrottle(std::size_t capacity = 4096) : m_capacity(capacity) {}

    // Counts an attempt at user from address; how long it must wait before it is checked.
    std::chrono::milliseconds attempt(std::string_view address, std::string_view user,
                                      Clock::time_point now = Clock::now());
    // The attempt signed in: the user's attempts from the address are forgotten.
    void succeeded(std::string_view address, std::string_view user);
    // The attempt could not be checked (the database did not answer): it does not count.
    void uncounted(std::string_view address, std::string_view user);

  private:
    struct Attempts {
        unsigned count = 0;
        Clock::time_point last;
    };

    static std::string key(std::string_view address, std::string_view user);
    void forgetOldest();

    std::mutex m_mutex;
    std::size_t m_capacity;
    std::unordered_map<std::string, Attempts> m_attempts;
};

}  // namespace appserver
