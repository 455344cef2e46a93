#pragma once
// Slows down guessing one user's password from one address: from the third attempt in a row each
// waits longer before it is checked (250 ms, doubling up to 16 s). Every attempt counts as soon
// as it is queued, before its verdict, and its wait starts where the previous one's ended, so
// attempts sent side by side are slowed exactly as if they came one after the other. That user's
// success from that address, or a quiet quarter of an hour, forgets them; another account's success
// does not. Bounded memory: beyond its capacity the oldest are forgotten first. Thread-safe.

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
    // Whether some attempt from address, at any user, still counts: one that failed or is under
    // way (failures past the quiet quarter of an hour count until the address tries again).
    bool counts(std::string_view address);

  private:
    struct Attempts {
        unsigned count = 0;
        Clock::time_point last;  // of the latest attempt
        Clock::time_point next;  // when the latest attempt's wait ends
    };

    static std::string key(std::string_view address, std::string_view user);
    void forget(std::unordered_map<std::string, Attempts>::iterator it);
    void forgetOldest();

    std::mutex m_mutex;
    std::size_t m_capacity;
    std::unordered_map<std::string, Attempts> m_attempts;
    std::unordered_map<std::string, std::size_t> m_usersTried;  // per address, in m_attempts
};

}  // namespace appserver
